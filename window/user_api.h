// The one place that picks user32's W functions (NT family) or A functions (Windows 95/98).
#pragma once

#include <windows.h>

#include <string>

// Windows 95 and 98 export most W functions of user32 without implementing them, so a window
// built there must go through the A functions with its texts in the ANSI code page; and as the
// 32-bit program must load there, the W functions of the NT family are found at run time, not
// imported. The rest of the window code passes UTF-16; where no text crosses (a message such as
// BM_GETCHECK, the window's user data, a resource by its id, a font) it calls the A function,
// which both families serve.
namespace quenzel::user {

std::string ToAnsi(const std::wstring &text);
std::wstring FromAnsi(const std::string &ansiText);

struct WindowClass {
    const wchar_t *name;
    WNDPROC procedure;
    HINSTANCE instance;
    HCURSOR cursor;
    HBRUSH background;
    HICON icon, smallIcon;
};
bool RegisterWindowClass(const WindowClass &windowClass);
void UnregisterWindowClass(const wchar_t *name, HINSTANCE instance);

HWND CreateWindowText(DWORD exStyle, const wchar_t *className, const std::wstring &text,
                      DWORD style, const RECT &rect, HWND parent, int id, HINSTANCE instance,
                      void *param);
void SetText(HWND window, const std::wstring &text);
// Text from the registry: converted on the W path, handed over as it is on the A path.
void SetAnsiText(HWND window, const std::string &ansiText);
int MessageBoxText(HWND owner, const std::wstring &text, const std::wstring &caption, UINT style);

LRESULT DefaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The message loop's GetMessage, IsDialogMessage and DispatchMessage.
BOOL NextMessage(MSG *message);
BOOL TakenByDialogManager(HWND dialog, MSG *message);
LRESULT Dispatch(const MSG *message);

// Tells every top-level window that a part of the system's settings changed.
void BroadcastSettingChange(const wchar_t *area, UINT timeoutMilliseconds);
SIZE TextExtent(HDC dc, const std::wstring &text);
// The size text takes when wrapped at words within width, as a multi-line static draws it.
SIZE WrappedTextExtent(HDC dc, const std::wstring &text, int width);

} // namespace quenzel::user
