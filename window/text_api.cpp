// The one place that picks user32's W functions (NT family) or A functions (Windows 95/98).
#include "text_api.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace quenzel::text {

namespace {

// The high bit of GetVersion is set on Windows 95, 98 and Me.
Path DetectPath() {
    return (::GetVersion() & 0x80000000u) != 0 ? Path::Ansi : Path::Wide;
}

Path &ChosenPath() {
    static Path path = DetectPath();
    return path;
}

bool Wide() {
    return ChosenPath() == Path::Wide;
}

} // namespace

void ForcePath(Path path) {
    ChosenPath() = path;
}

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
    wc.hIcon = windowClass.icon;
    wc.hIconSm = windowClass.smallIcon;
    wc.hCursor = windowClass.cursor;
    wc.hbrBackground = windowClass.background;
    wc.lpszClassName = name;
    return wc;
}

} // namespace

bool RegisterWindowClass(const WindowClass &windowClass) {
    if (Wide()) {
        const auto wc = ClassOf<WNDCLASSEXW>(windowClass, windowClass.name);
        return ::RegisterClassExW(&wc) != 0;
    }
    const std::string name = ToAnsi(windowClass.name);
    const auto wc = ClassOf<WNDCLASSEXA>(windowClass, name.c_str());
    return ::RegisterClassExA(&wc) != 0;
}

void UnregisterWindowClass(const wchar_t *name, HINSTANCE instance) {
    if (Wide())
        ::UnregisterClassW(name, instance);
    else
        ::UnregisterClassA(ToAnsi(name).c_str(), instance);
}

HWND CreateWindowText(DWORD exStyle, const wchar_t *className, const std::wstring &text,
                      DWORD style, const RECT &rect, HWND parent, int id, HINSTANCE instance,
                      void *param) {
    // A child's id travels in the menu parameter.
    const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (Wide())
        return ::CreateWindowExW(exStyle, className, text.c_str(), style, rect.left, rect.top,
                                 width, height, parent, menu, instance, param);
    return ::CreateWindowExA(exStyle, ToAnsi(className).c_str(), ToAnsi(text).c_str(), style,
                             rect.left, rect.top, width, height, parent, menu, instance, param);
}

void SetText(HWND window, const std::wstring &text) {
    if (Wide())
        ::SetWindowTextW(window, text.c_str());
    else
        ::SetWindowTextA(window, ToAnsi(text).c_str());
}

void SetAnsiText(HWND window, const std::string &ansiText) {
    if (Wide())
        ::SetWindowTextW(window, FromAnsi(ansiText).c_str());
    else
        ::SetWindowTextA(window, ansiText.c_str());
}

int MessageBoxText(HWND owner, const std::wstring &text, const std::wstring &caption, UINT style) {
    if (Wide())
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), style);
    return ::MessageBoxA(owner, ToAnsi(text).c_str(), ToAnsi(caption).c_str(), style);
}

LRESULT DefWindowProcText(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Wide() ? ::DefWindowProcW(window, message, wParam, lParam)
                  : ::DefWindowProcA(window, message, wParam, lParam);
}

BOOL GetMessageText(MSG *message) {
    return Wide() ? ::GetMessageW(message, nullptr, 0, 0) : ::GetMessageA(message, nullptr, 0, 0);
}

BOOL PeekMessageText(MSG *message, UINT remove) {
    return Wide() ? ::PeekMessageW(message, nullptr, 0, 0, remove)
                  : ::PeekMessageA(message, nullptr, 0, 0, remove);
}

BOOL IsDialogMessageText(HWND dialog, MSG *message) {
    return Wide() ? ::IsDialogMessageW(dialog, message) : ::IsDialogMessageA(dialog, message);
}

LRESULT DispatchMessageText(const MSG *message) {
    return Wide() ? ::DispatchMessageW(message) : ::DispatchMessageA(message);
}

void BroadcastSettingChange(const wchar_t *area, UINT timeoutMilliseconds) {
    DWORD_PTR result = 0;
    if (Wide())
        ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(area),
                              SMTO_ABORTIFHUNG, timeoutMilliseconds, &result);
    else
        ::SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                              reinterpret_cast<LPARAM>(ToAnsi(area).c_str()), SMTO_ABORTIFHUNG,
                              timeoutMilliseconds, &result);
}

namespace {

// LOGFONTA and LOGFONTW share every field before the face name.
template <class To, class From, class Convert> To ConvertFont(const From &font, Convert convert) {
    To converted{};
    std::memcpy(&converted, &font, offsetof(From, lfFaceName));
    convert(font.lfFaceName).copy(converted.lfFaceName, LF_FACESIZE - 1);
    return converted;
}

LOGFONTW WidenFont(const LOGFONTA &font) {
    return ConvertFont<LOGFONTW>(font, [](const char *face) { return FromAnsi(face); });
}

LOGFONTA NarrowFont(const LOGFONTW &font) {
    return ConvertFont<LOGFONTA>(font, [](const wchar_t *face) { return ToAnsi(face); });
}

} // namespace

// The size of the structure as Windows 95 knew it: later fields make older systems refuse it.
LOGFONTW MessageFont() {
    if (Wide()) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
            return metrics.lfMessageFont;
        LOGFONTW font{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        return font;
    }
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return WidenFont(metrics.lfMessageFont);
    LOGFONTA font{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return WidenFont(font);
}

HFONT CreateFontText(const LOGFONTW &font) {
    if (Wide())
        return ::CreateFontIndirectW(&font);
    const LOGFONTA narrow = NarrowFont(font);
    return ::CreateFontIndirectA(&narrow);
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
    if (Wide()) {
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, kFlags);
    } else {
        std::string narrow = ToAnsi(text);
        ::DrawTextA(dc, narrow.c_str(), static_cast<int>(narrow.size()), &rect, kFlags);
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace quenzel::text
