// The start-up benchmark's baselines: an empty window of quenzel.exe's frame and client size,
// and with the argument "/controls" a window that does what quenzel.exe's must, none of its own
// logic.
//
// The same frame style, the same 4935 x 3615 twips client area at the screen's real DPI,
// centred, shown and painted, then the message loop until the window is closed. With
// "/controls" also: the common controls initialized (version 6, as the manifest asks), the wrench
// as the class icon and a hidden owner window (no task-bar button), as quenzel.exe has them; the
// children of quenzel.exe's control table (classes, styles, captions, places) in the stock GUI
// font, each picture showing its icon from quenzel.exe's own resources at the same size (loaded
// by its window text as it is created); mnemonics underlined. Linked with quenzel.exe's
// resources, so it has its manifest too. Nothing else: no font fitting, no registry, no check box
// logic, no layout for the monitor's DPI.
#include "../window/control_class.h"
#include "../window/resource.h"

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>

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
        const bool picture = row.kind == quenzel::ControlKind::Picture;
        // A picture's static loads the icon named by its text as it is created.
        const std::wstring text = picture ? L"#" + std::to_wstring(IDI_IMAGE0 + row.index)
                                          : std::wstring(row.caption ? row.caption : L"");
        HWND control = ::CreateWindowExW(
            0, cls.className, text.c_str(), cls.style, quenzel::TwipsToPixels(twips.left, dpi),
            quenzel::TwipsToPixels(twips.top, dpi), quenzel::TwipsToPixels(twips.width, dpi),
            quenzel::TwipsToPixels(twips.height, dpi), window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
        if (!control)
            continue;
        ::SendMessageW(control, WM_SETFONT, font, FALSE);
        if (picture)
            ::DefWindowProcW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    }
    ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
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
    if (withControls)
        ::InitCommonControls();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProcedure;
    wc.hInstance = instance;
    if (withControls)
        wc.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_WRENCH),
                                                   IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                   ::GetSystemMetrics(SM_CXICON), LR_SHARED));
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc))
        return 1;

    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    RECT frame{0, 0, quenzel::TwipsToPixels(quenzel::kClientWidthTwips, dpi),
               quenzel::TwipsToPixels(quenzel::kClientHeightTwips, dpi)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    HWND owner = withControls ? ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                  nullptr, instance, nullptr)
                              : nullptr;
    HWND window = ::CreateWindowExW(0, kClassName, withControls ? kTitleWithControls : kTitle,
                                    kStyle, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                    (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                    owner, nullptr, instance, nullptr);
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
