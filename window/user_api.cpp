// The one place that picks user32's W functions (NT family) or A functions (Windows 95/98).
#include "user_api.h"

#include "find_function.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace quenzel::user {

namespace {

// The W functions of user32 that the window needs, as the NT family's user32 exports them.
struct WideUser32 {
    decltype(&::RegisterClassExW) RegisterClassExW;
    decltype(&::UnregisterClassW) UnregisterClassW;
    decltype(&::CreateWindowExW) CreateWindowExW;
    decltype(&::SetWindowTextW) SetWindowTextW;
    decltype(&::DefWindowProcW) DefWindowProcW;
    decltype(&::GetMessageW) GetMessageW;
    decltype(&::IsDialogMessageW) IsDialogMessageW;
    decltype(&::DispatchMessageW) DispatchMessageW;
    decltype(&::SendMessageTimeoutW) SendMessageTimeoutW;
    decltype(&::DrawTextW) DrawTextW;
};

bool FindAll(WideUser32 &w) {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 && FindFunction(user32, "RegisterClassExW", w.RegisterClassExW) &&
           FindFunction(user32, "UnregisterClassW", w.UnregisterClassW) &&
           FindFunction(user32, "CreateWindowExW", w.CreateWindowExW) &&
           FindFunction(user32, "SetWindowTextW", w.SetWindowTextW) &&
           FindFunction(user32, "DefWindowProcW", w.DefWindowProcW) &&
           FindFunction(user32, "GetMessageW", w.GetMessageW) &&
           FindFunction(user32, "IsDialogMessageW", w.IsDialogMessageW) &&
           FindFunction(user32, "DispatchMessageW", w.DispatchMessageW) &&
           FindFunction(user32, "SendMessageTimeoutW", w.SendMessageTimeoutW) &&
           FindFunction(user32, "DrawTextW", w.DrawTextW);
}

// The W functions on the W path, null on the A path, chosen once: the NT family takes the W path,
// Windows 95, 98 and Me (the high bit of GetVersion) the A path.
const WideUser32 *Wide() {
    static WideUser32 functions{};
    static const WideUser32 *wide =
        (::GetVersion() & 0x80000000u) == 0 && FindAll(functions) ? &functions : nullptr;
    return wide;
}

} // namespace

std::string ToAnsi(const std::wstring &text) {
    if (text.empty())
        return {};
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &result[0], length,
                          nullptr, nullptr);
    return result;
}

std::wstring FromAnsi(const std::string &ansiText) {
    if (ansiText.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, ansiText.data(),
                                             static_cast<int>(ansiText.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansiText.data(), static_cast<int>(ansiText.size()), &result[0],
                          length);
    return result;
}

namespace {

// WNDCLASSEXW and WNDCLASSEXA differ only in the type of their name.
template <class Class, class Char> Class ClassOf(const WindowClass &windowClass, const Char *name) {
    Class wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowClass.procedure;
    wc.hInstance = windowClass.instance;
    wc.hCursor = windowClass.cursor;
    wc.hbrBackground = windowClass.background;
    wc.hIcon = windowClass.icon;
    wc.hIconSm = windowClass.smallIcon;
    wc.lpszClassName = name;
    return wc;
}

} // namespace

bool RegisterWindowClass(const WindowClass &windowClass) {
    if (const WideUser32 *w = Wide()) {
        const auto wc = ClassOf<WNDCLASSEXW>(windowClass, windowClass.name);
        return w->RegisterClassExW(&wc) != 0;
    }
    const std::string name = ToAnsi(windowClass.name);
    const auto wc = ClassOf<WNDCLASSEXA>(windowClass, name.c_str());
    return ::RegisterClassExA(&wc) != 0;
}

void UnregisterWindowClass(const wchar_t *name, HINSTANCE instance) {
    if (const WideUser32 *w = Wide())
        w->UnregisterClassW(name, instance);
    else
        ::UnregisterClassA(ToAnsi(name).c_str(), instance);
}

HWND CreateWindowText(DWORD exStyle, const wchar_t *className, const std::wstring &text,
                      DWORD style, const RECT &rect, HWND parent, int id, HINSTANCE instance,
                      void *param) {
    // A child's id travels in the menu parameter.
    const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (const WideUser32 *w = Wide())
        return w->CreateWindowExW(exStyle, className, text.c_str(), style, rect.left, rect.top,
                                  width, height, parent, menu, instance, param);
    return ::CreateWindowExA(exStyle, ToAnsi(className).c_str(), ToAnsi(text).c_str(), style,
                             rect.left, rect.top, width, height, parent, menu, instance, param);
}

void SetText(HWND window, const std::wstring &text) {
    if (const WideUser32 *w = Wide())
        w->SetWindowTextW(window, text.c_str());
    else
        ::SetWindowTextA(window, ToAnsi(text).c_str());
}

void SetAnsiText(HWND window, const std::string &ansiText) {
    if (const WideUser32 *w = Wide())
        w->SetWindowTextW(window, FromAnsi(ansiText).c_str());
    else
        ::SetWindowTextA(window, ansiText.c_str());
}

int MessageBoxText(HWND owner, const std::wstring &text, const std::wstring &caption, UINT style) {
    if (Wide())
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), style);
    return ::MessageBoxA(owner, ToAnsi(text).c_str(), ToAnsi(caption).c_str(), style);
}

LRESULT DefaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WideUser32 *w = Wide();
    return w ? w->DefWindowProcW(window, message, wParam, lParam)
             : ::DefWindowProcA(window, message, wParam, lParam);
}

BOOL NextMessage(MSG *message) {
    const WideUser32 *w = Wide();
    return w ? w->GetMessageW(message, nullptr, 0, 0) : ::GetMessageA(message, nullptr, 0, 0);
}

BOOL TakenByDialogManager(HWND dialog, MSG *message) {
    const WideUser32 *w = Wide();
    return w ? w->IsDialogMessageW(dialog, message) : ::IsDialogMessageA(dialog, message);
}

LRESULT Dispatch(const MSG *message) {
    const WideUser32 *w = Wide();
    return w ? w->DispatchMessageW(message) : ::DispatchMessageA(message);
}

void BroadcastSettingChange(const wchar_t *area, UINT timeoutMilliseconds) {
    DWORD_PTR result = 0;
    if (const WideUser32 *w = Wide())
        w->SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(area),
                               SMTO_ABORTIFHUNG, timeoutMilliseconds, &result);
    else
        ::SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                              reinterpret_cast<LPARAM>(ToAnsi(area).c_str()), SMTO_ABORTIFHUNG,
                              timeoutMilliseconds, &result);
}

SIZE TextExtent(HDC dc, const std::wstring &text) {
    SIZE size{};
    if (Wide()) {
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    } else {
        const std::string narrow = ToAnsi(text);
        ::GetTextExtentPoint32A(dc, narrow.c_str(), static_cast<int>(narrow.size()), &size);
    }
    return size;
}

SIZE WrappedTextExtent(HDC dc, const std::wstring &text, int width) {
    constexpr UINT kFlags = DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_LEFT | DT_EXPANDTABS;
    RECT rect{0, 0, width, 0};
    if (const WideUser32 *w = Wide()) {
        w->DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, kFlags);
    } else {
        std::string narrow = ToAnsi(text);
        ::DrawTextA(dc, narrow.c_str(), static_cast<int>(narrow.size()), &rect, kFlags);
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace quenzel::user
