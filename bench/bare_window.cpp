// The start-up benchmark's baselines: an empty window of quenzel.exe's frame and client size,
// and with the argument "/controls" the same window with quenzel.exe's 24 controls in it.
//
// The same frame style, the same 4935 x 3615 twips client area at the screen's real DPI,
// centred, shown and painted, then the message loop until the window is closed. With
// "/controls" the children of quenzel.exe's control table (classes, styles, captions, places)
// in the stock GUI font, pictures without icons. Nothing else: no font fitting, no icons, no
// registry, no check box logic.
#include "../window/control_class.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr wchar_t kClassName[] = L"QuenzelBareWindow";
constexpr wchar_t kTitle[] = L"Quenzel bare window";
constexpr wchar_t kTitleWithControls[] = L"Quenzel bare controls";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

void CreateControls(HWND window, HINSTANCE instance, int dpi) {
    const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
    int id = 100;
    for (const quenzel::ControlRow &row : quenzel::kControls) {
        const quenzel::ControlClass cls = quenzel::ClassOf(row.kind);
        const quenzel::TwipsRect twips = quenzel::ClientTwips(row);
        HWND control = ::CreateWindowExW(
            0, cls.className, row.caption ? row.caption : L"", cls.style,
            quenzel::TwipsToPixels(twips.left, dpi), quenzel::TwipsToPixels(twips.top, dpi),
            quenzel::TwipsToPixels(twips.width, dpi), quenzel::TwipsToPixels(twips.height, dpi),
            window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
        if (control)
            ::SendMessageW(control, WM_SETFONT, font, FALSE);
    }
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const bool withControls = std::strstr(commandLine, "/controls") != nullptr;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProcedure;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc))
        return 1;

    const int dpi = quenzel::ScreenDpi();
    RECT frame{0, 0, quenzel::TwipsToPixels(quenzel::kClientWidthTwips, dpi),
               quenzel::TwipsToPixels(quenzel::kClientHeightTwips, dpi)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    HWND window = ::CreateWindowExW(0, kClassName, withControls ? kTitleWithControls : kTitle,
                                    kStyle, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                    (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                    nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    if (withControls)
        CreateControls(window, instance, dpi);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);

    MSG message;
    BOOL got;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return 1;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
