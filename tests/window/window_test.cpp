// Form1 under Wine on a scratch registry, seen and driven from outside: by caption and place,
// real keys, hooks, and the store afterwards. Run as NT, as Windows 95, at 144 and 192 dpi, and as
// a Windows before 10 at 120 dpi (CMake).
#include "../registry_fixture.h"

#include "../../window/form1.h"
#include "../../window/message_loop.h"
#include "../../window/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <set>

// With QUENZEL_BEFORE_WIN10 set, this process is a Windows before 10 1607 to the program: its
// lookups through GetProcAddress, this test's import of it (wrapped by the link), find no
// per-monitor function.
const bool kBeforeWin10 = std::getenv("QUENZEL_BEFORE_WIN10") != nullptr;
extern "C" FARPROC(WINAPI *__real___imp_GetProcAddress)(HMODULE, LPCSTR);
static FARPROC WINAPI GetProcAddressBeforeWin10(HMODULE module, LPCSTR name) {
    for (const char *newer :
         {"GetDpiForWindow", "GetSystemMetricsForDpi", "SystemParametersInfoForDpi"})
        if (kBeforeWin10 && !IS_INTRESOURCE(name) && !std::strcmp(name, newer))
            return nullptr;
    return __real___imp_GetProcAddress(module, name);
}
extern "C" {
FARPROC(WINAPI *__wrap___imp_GetProcAddress)(HMODULE, LPCSTR) = GetProcAddressBeforeWin10;
}

namespace quenzel {
namespace {

const bool kNtFamily = (::GetVersion() & 0x80000000u) == 0;
constexpr wchar_t kTitle[] = L"Quenzel";
constexpr wchar_t kDrive[] = L"Laufwerk f\u00FCr CDs & DVDs \u20AC";
const std::string kDriveRegistry = // the same description in Windows-1252, byte 0
    "REGEDIT4\n[HKEY_DYN_DATA\\Config Manager\\Enum\\E]\n\"HardWareKey\"=\"D\"\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\D]\n\"DeviceDesc\"=\"Laufwerk f\xFCr CDs & DVDs \x80\"\n"
    "\"AutoInsertNotification\"=hex:00\n";

// The design in twips within the client area: caption, place; a picture's icon.
struct Design {
    const wchar_t *caption;
    int left, top, width, height, image;
};
// clang-format off
constexpr Design kDesign[] = {
    {L"Signal f\u00FCr Medienwechsel",    60,   60, 2352, 1572, -1},
    {kDrive,                             240,  420, 1995,  615, -1},
    {nullptr,                            300, 1080,  480,  480,  5},
    {L"&aktiv",                          960, 1140, 1032,  372, -1},
    {L"Sofortiger Start",                 60, 1740, 2352, 1332, -1},
    {nullptr,                            300, 1980,  480,  480,  7},
    {L"&Musik-CD",                       960, 2160, 1092,  372, -1},
    {nullptr,                            300, 2460,  480,  480,  6},
    {L"&Programm-CD",                    960, 2580, 1332,  372, -1},
    {L"AutoRun erlauben",               2520,   60, 2352, 3012, -1},
    {nullptr,                           2760,  300,  480,  480,  0},
    {L"&CD-ROM",                        3420,  420, 1392,  372, -1},
    {nullptr,                           2760,  840,  480,  480,  1},
    {L"&Diskette",                      3420,  960, 1332,  372, -1},
    {nullptr,                           2760, 1380,  480,  480,  2},
    {L"&Festplatte",                    3420, 1500, 1152,  372, -1},
    {nullptr,                           2760, 1920,  480,  480,  3},
    {L"&Ram-Disk",                      3420, 2040, 1152,  372, -1},
    {nullptr,                           2760, 2520,  480,  480,  4},
    {L"&Netzwerk",                      3420, 2580, 1392,  372, -1},
    {L"&Info",                            60, 3180, 1152,  372, -1},
    {L"&Standard",                      1260, 3180, 1152,  372, -1},
    {L"&Abbrechen",                     2520, 3180, 1215,  375, -1},
    {L"&OK",                            3780, 3180, 1092,  372, -1},
};
// clang-format on
std::wstring Text(HWND window) {
    wchar_t buffer[1024];
    return {buffer, static_cast<std::size_t>(::GetWindowTextW(window, buffer, 1024))};
}

// Since the last Start: the label at the first activation, message boxes, broadcasts and stores.
struct {
    std::wstring label, boxes;
    std::string broadcasts;
    RegistryFixture *registry;
} gSeen;

LRESULT CALLBACK OnActivation(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    HWND owner = ::GetWindow(window, GW_OWNER);
    if (code == HCBT_ACTIVATE && Text(window) == kTitle && gSeen.label.empty())
        gSeen.label = Text(::FindWindowExW(window, nullptr, L"Static", nullptr));
    if (code == HCBT_ACTIVATE && ::GetDlgItem(window, 0xFFFF)) { // a message box: read, then OK
        const bool modal = Text(owner) == kTitle && !::IsWindowEnabled(owner);
        const bool ok = ::GetDlgItem(window, IDOK) && !::GetDlgItem(window, IDCANCEL);
        gSeen.boxes += Text(window) + L"|" + Text(::GetDlgItem(window, 0xFFFF)) + L"|" +
                       (modal ? L"modal" : L"") + (ok ? L", OK|" : L"|") +
                       std::to_wstring(::SendDlgItemMessageW(window, stc1, STM_GETICON, 0, 0));
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Wine passes the area of an A broadcast on unconverted.
LRESULT CALLBACK Listener(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto *wide = reinterpret_cast<const wchar_t *>(lParam);
    if (message == WM_SETTINGCHANGE)
        gSeen.broadcasts +=
            (wide[0] < 0x100 ? std::string(wide, wide + std::wcslen(wide))
                             : std::string(reinterpret_cast<const char *>(lParam))) +
            (::IsWindowVisible(::FindWindowW(nullptr, kTitle)) ? " while shown\n" : "\n") +
            gSeen.registry->Store();
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// The icon shown is the resource's at the size, bit for bit (the colour bits; as many as the size).
bool Shows(LRESULT shown, int id, int size) {
    const HICON icons[] = {
        reinterpret_cast<HICON>(shown),
        static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                        IMAGE_ICON, size, size, 0))};
    std::vector<char> bits[2];
    for (int i = 0; i < 2; ++i) {
        ICONINFO info{};
        BITMAP b{};
        if (::GetIconInfo(icons[i], &info) && ::GetObjectW(info.hbmColor, sizeof b, &b))
            bits[i].resize(static_cast<std::size_t>(b.bmWidthBytes * b.bmHeight));
        ::GetBitmapBits(info.hbmColor, static_cast<LONG>(bits[i].size()), bits[i].data());
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
    ::DestroyIcon(icons[1]);
    return !bits[0].empty() && bits[0] == bits[1];
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        hook_ = ::SetWindowsHookExW(WH_CBT, OnActivation, nullptr, ::GetCurrentThreadId());
        listener_ = ::CreateWindowExW(0, L"STATIC", L"listener", WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, nullptr, nullptr);
        ::SetWindowLongPtrW(listener_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Listener));
        ASSERT_TRUE(hook_ && listener_);
        NONCLIENTMETRICSW metrics{}; // the user's own message font, in the tests' own prefix
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        std::wcscpy(metrics.lfMessageFont.lfFaceName, L"Tahoma");
        ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    }
    void TearDown() override {
        program.reset();
        ::UnhookWindowsHookEx(hook_);
        ::DestroyWindow(listener_);
    }

    // Loads the registry and starts the window as the program does.
    void Start(const std::string &regedit4 = kWin95) {
        registry->Load(regedit4);
        gSeen = {{}, {}, {}, registry.get()};
        program = std::make_unique<Form1>(registry->registry(), ::GetModuleHandleW(nullptr));
        ASSERT_TRUE(program->Create());
        form = ::FindWindowW(nullptr, kTitle);
        Drain();
    }

    // Key events: the keys pressed in turn and released the other way round, then handled.
    void Keys(const std::vector<WORD> &keys) {
        for (WORD key : keys)
            ::keybd_event(static_cast<BYTE>(key), 0, 0, 0);
        for (auto key = keys.rbegin(); key != keys.rend(); ++key)
            ::keybd_event(static_cast<BYTE>(*key), 0, KEYEVENTF_KEYUP, 0);
        Drain();
    }
    // The program's own loop, until the queue is idle (a timer comes last) or the window is gone.
    void Drain() {
        const UINT_PTR idle = ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM,
                                         [](HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(0); });
        RunMessageLoop(*program);
        ::KillTimer(nullptr, idle);
        MSG quit;
        ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    void ExpectAsDesigned(int dpi);

    std::unique_ptr<RegistryFixture> registry = MakeRegistryFixture();
    std::unique_ptr<Form1> program;
    HWND form = nullptr;
    HHOOK hook_ = nullptr;
    HWND listener_ = nullptr;
};

// Every control, the font and the icons as designed at dpi: the pictures at the size of their
// place, 3, 6 and the wrench (big; small half) at 32 px or doubled, never stretched by a fraction.
void WindowTest::ExpectAsDesigned(int dpi) {
    const int picture = dpi < 144 ? 32 : dpi / 3, upTo32 = dpi < 192 ? 32 : 64;
    for (auto [which, pixels] : {std::pair{ICON_BIG, upTo32}, {ICON_SMALL, upTo32 / 2}}) {
        const LRESULT own = ::SendMessageW(form, WM_GETICON, which, 0); // else the class's
        const int index = which == ICON_BIG ? GCLP_HICON : GCLP_HICONSM;
        EXPECT_TRUE(Shows(own ? own : ::GetClassLongPtrW(form, index), IDI_WRENCH, pixels));
    }
    const auto px = [dpi](int twips) { return ::MulDiv(twips, dpi, 1440); };
    RECT client;
    ::GetClientRect(form, &client);
    EXPECT_TRUE(client.right == px(4935) && client.bottom == px(3615)) << dpi;
    // One font for every control, set by the window: the message font at dpi, fitted.
    const auto font = reinterpret_cast<HFONT>(
        ::SendMessageW(::FindWindowExW(form, nullptr, nullptr, L"&OK"), WM_GETFONT, 0, 0));
    LOGFONTW made{};
    NONCLIENTMETRICSW system{};
    system.cbSize = sizeof system;
    ::GetObjectW(font, sizeof made, &made);
    ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof system, &system, 0, dpi);
    const int height = std::abs(made.lfHeight), most = std::abs(system.lfMessageFont.lfHeight);
    EXPECT_TRUE(height <= most && 4 * height >= 3 * most) << height << " for " << most;
    EXPECT_STREQ(system.lfMessageFont.lfFaceName, made.lfFaceName);
    HDC screen = ::CreateCompatibleDC(nullptr); // measures as the screen does
    ::SelectObject(screen, font);

    std::set<const Design *> found;
    for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring caption = Text(child);
        SCOPED_TRACE(testing::PrintToString(caption));
        RECT actual;
        ::GetWindowRect(child, &actual);
        ::MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT *>(&actual), 2);
        const Design *d = std::find_if(std::begin(kDesign), std::end(kDesign), [&](auto &row) {
            const RECT r{px(row.left), px(row.top), px(row.left + row.width),
                         px(row.top + row.height)};
            return (row.caption ? row.caption == caption : caption.empty()) &&
                   ::EqualRect(&r, &actual);
        });
        ASSERT_NE(std::end(kDesign), d) << "not in the design, or not in its place";
        EXPECT_TRUE(found.insert(d).second);
        const int width = actual.right - actual.left, high = actual.bottom - actual.top;
        if (d->image >= 0) {
            EXPECT_TRUE(Shows(::SendMessageW(child, STM_GETIMAGE, IMAGE_ICON, 0),
                              IDI_IMAGE0 + d->image,
                              d->image == 3 || d->image == 6 ? upTo32 : picture));
            continue;
        }
        EXPECT_EQ(font, reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
        // The caption shows whole, beside a check box's square, within a control's edges, or in
        // the label's lines.
        const bool box = (::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_CHECKBOX;
        const bool label = d == kDesign + 1;
        RECT text{0, 0, width, 0};
        ::DrawTextW(screen, caption.c_str(), -1, &text,
                    DT_CALCRECT | DT_WORDBREAK | (label ? DT_NOPREFIX : 0));
        const int edges = box ? ::GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + 3 : label ? 0 : 6;
        EXPECT_LE(text.right + edges, width);
        EXPECT_LE(text.bottom, high);
    }
    EXPECT_EQ(std::size(kDesign), found.size());
    ::DeleteDC(screen);
}

TEST_F(WindowTest, TheWindowAsDesignedAtEveryDpi) {
    Start(kDriveRegistry);
    const LONG style = ::GetWindowLongW(form, GWL_STYLE), fixed = WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(fixed, style & (fixed | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    HWND owner = ::GetWindow(form, GW_OWNER); // hidden: no task-bar button
    EXPECT_TRUE(owner && !::IsWindowVisible(owner) && ::IsWindowVisible(form));
    EXPECT_EQ(kDrive, gSeen.label) << "the registry is read before the window shows";
    EXPECT_EQ(kNtFamily, !!::IsWindowUnicode(form));
    EXPECT_EQ(kBeforeWin10, !::GetProcAddress(::GetModuleHandleW(L"user32"), "GetDpiForWindow"));
    wchar_t controls[MAX_PATH] = L""; // drawn by the common controls 6, the manifest's
    ::GetModuleFileNameW(::GetModuleHandleW(L"comctl32.dll"), controls, MAX_PATH);
    EXPECT_TRUE(std::wcsstr(controls, L"common-controls_6595b64144ccf1df_6.0.")) << controls;
    ExpectAsDesigned(static_cast<int>(::GetDpiForWindow(form)));
    std::wstring tabs; // the Tab order, round once
    for (int i = 0; i < 13; ++i, Keys({VK_TAB}))
        tabs += Text(::GetFocus()) + L" ";
    EXPECT_EQ(L"&CD-ROM &Diskette &Festplatte &Ram-Disk &Netzwerk &OK &Standard &Info &aktiv "
              L"&Musik-CD &Programm-CD &Abbrechen &CD-ROM ",
              tabs);

    // Laid out anew on a move to another scale, all else as it was, then away and back.
    for (WORD key : {'A', 'D', 'M'}) // "&aktiv" first: "&Abbrechen" follows "&Musik-CD"
        Keys({VK_MENU, key});
    ::SetFocus(::FindWindowExW(form, nullptr, nullptr, L"&Netzwerk"));
    const auto state = [this] {
        std::wstring all = Text(::GetFocus());
        for (HWND c = ::GetWindow(form, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
            all += L"|" + Text(c) + std::to_wstring(::SendMessageW(c, BM_GETCHECK, 0, 0)) +
                   (::IsWindowEnabled(c) ? L"+" : L"-");
        return all;
    };
    const std::wstring was = state();
    // Moved to monitors of other scales, which Windows before 10 never does.
    for (int dpi : kBeforeWin10 ? std::vector<int>{} : std::vector<int>{192, 144, 96}) {
        RECT suggested{dpi, dpi / 2, 3 * dpi, 2 * dpi}, now; // any size: the client area is fitted
        ::SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        ::GetWindowRect(form, &now);
        EXPECT_TRUE(now.left == suggested.left && now.top == suggested.top) << dpi;
        ExpectAsDesigned(dpi);
        EXPECT_EQ(was, state()) << dpi;
    }
    ::SetActiveWindow(::FindWindowW(L"Static", L"listener"));
    Drain();
    EXPECT_NE(L"&Netzwerk", Text(::GetFocus()));
    ::SetActiveWindow(form);
    Drain();
    EXPECT_EQ(was, state());
}

// Keys pressed from start to end: what was written over the registry and said in a message box.
struct KeyRow {
    const char *name;
    std::string registry;
    std::vector<std::vector<WORD>> keys;
    std::string written;
    LPCSTR icon;
    std::wstring message;
    friend void PrintTo(const KeyRow &row, std::ostream *out) { *out << row.name; }
};
class KeyTest : public WindowTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(KeyTest, EndsHavingWrittenAndSaidWhatTheKeysChose) {
    const KeyRow &row = GetParam();
    if (!kNtFamily && row.registry.find(";deny") != std::string::npos)
        GTEST_SKIP() << "Windows 95's registry keys cannot refuse writing";
    Start(row.registry);
    for (const std::vector<WORD> &keys : row.keys)
        Keys(keys);
    EXPECT_FALSE(::IsWindow(form));
    std::wstring said; // modal: owned by the window, which is disabled; one OK button
    if (row.icon)
        said = std::wstring(kTitle) + L"|" + row.message + L"|modal, OK|" +
               std::to_wstring(reinterpret_cast<INT_PTR>(::LoadIconA(nullptr, row.icon)));
    EXPECT_EQ(said, gSeen.boxes);
    RegTree tree;
    ImportRegedit4(tree, row.registry + row.written);
    const std::string saved = Listing(tree);
    EXPECT_EQ(saved, registry->Store());
    // A mask written ends with one broadcast, once the window is gone and everything is stored.
    EXPECT_EQ(row.written.find("NoDriveTypeAutoRun") == std::string::npos ? "" : "Policy\n" + saved,
              gSeen.broadcasts);
}

const std::wstring kNotSaved =
    L"Folgende Einstellungen konnten nicht gespeichert werden:\r\n\r\n- ";
// clang-format off
const KeyRow kKeyRows[] = {
    {"TheCloseBoxWritesNothing", kWin95, {{VK_MENU, 'D'}, {VK_MENU, 'M'}, {VK_MENU, VK_F4}}, "", nullptr, L""},
    {"EscapeAndEnterOnABoxPressNothingEveryLetterItsBoxThenOk", kWin95, {{VK_SPACE}, {VK_ESCAPE},
     {VK_RETURN}, {VK_MENU, 'A'}, {VK_MENU, 'D'}, {VK_MENU, 'M'}, {VK_MENU, 'F'}, {VK_MENU, 'R'},
     {VK_MENU, 'N'}, {VK_MENU, 'P'}, {VK_MENU, 'C'}, {VK_MENU, 'O'}},
     kMask + "hex:e9,00,00,00\n" + kVerb + "\"\"\n" + kDevice + "\"AutoInsertNotification\"=hex:00\n", nullptr, L""},
    {"StandardThenOk", kWin95 + kMask + "hex:00,00,00,00\n" + kVerb + "\"\"\n",
     {{VK_MENU, 'S'}, {VK_MENU, 'O'}}, kMask + "hex:14,00,00,00\n" + kVerb + "\"play\"\n", nullptr, L""},
    {"WithAktivDisabledAltAPressesAbbrechen", "REGEDIT4\n", {{VK_MENU, 'D'}, {VK_MENU, 'A'}}, "", nullptr, L""},
    {"InfoShowsTheAboutBoxAndTheWindowStays", kWin95, {{VK_MENU, 'I'}, {VK_MENU, 'D'}, {VK_MENU, 'O'}},
     kMask + "hex:91,00,00,00\n", IDI_INFORMATION, L"Ein Tool zum Bearbeiten der AutoRun-Funktionen von Win95.\r\r"
     L"\u00A9 Quenzel-Entwicklung\r\r'Verbesserungsvorschl\u00E4ge und konstruktive\r"
     L"Kritik sind mir immer willkommen!'\r\rE-Mail: quenzel@example.com"},
    {"ASaveThatFailsNamesWhatWasNotSaved", "REGEDIT4\n", {{VK_MENU, 'M'}, {VK_MENU, 'D'}, {VK_MENU, 'O'}},
     "", IDI_WARNING, kNotSaved + L"Laufwerkstypen f\u00FCr AutoRun\r\n- Sofortiger Start von Musik-CDs"},
    {"NTTheSwitchRefusedAndTheMachinesMaskDecides", kNt + ";deny\n" + kMachine + "dword:000000ff\n",
     {{VK_MENU, 'A'}, {VK_MENU, 'D'}, {VK_MENU, 'O'}}, kMask + "hex:91,00,00,00\n", IDI_WARNING,
     kNotSaved + L"Signal f\u00FCr Medienwechsel\r\n\r\nF\u00FCr welche Laufwerke AutoRun "
     L"ausgef\u00FChrt wird, entscheidet eine Richtlinie dieses Computers."},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Keys, KeyTest, ::testing::ValuesIn(kKeyRows),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
} // namespace quenzel
