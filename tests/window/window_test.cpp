// The real Form1 under Wine on a scratch registry, driven through the dialog manager, BM_CLICK
// and WM_CLOSE on the W and on the A path: frame, controls, keys, the program's flow and its
// messages. Message boxes are recorded and closed with OK as soon as they are activated.
#include "../registry_fixture.h"

#include "../../window/dialog_font.h"
#include "../../window/form1.h"
#include "../../window/resource.h"
#include "../../window/text_api.h"
#include "../../window/texts.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <cstdlib>
#include <cwchar>
#include <set>

namespace quenzel {
namespace {

struct SeenMessageBox {
    std::wstring caption, text;
    HWND owner;
    bool ownerEnabled, okOnly;
    HICON icon;
};

// A WM_SETTINGCHANGE broadcast: its area, whether the form was still on screen, the store then.
struct SeenBroadcast {
    std::string area;
    bool formShown;
    std::string store;
};

// Since the last Start: the message boxes, the label as the window was first shown, and the
// WM_SETTINGCHANGE broadcasts that a top-level window of our own received.
struct {
    std::vector<SeenMessageBox> messageBoxes;
    std::wstring labelWhenShown;
    std::vector<SeenBroadcast> broadcasts;
    RegistryFixture *registry;
} gSeen;

std::wstring WindowText(HWND window) {
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(window, buffer, 1024);
    return buffer;
}

LRESULT CALLBACK OnActivation(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    wchar_t name[8] = {};
    if (code == HCBT_ACTIVATE && ::GetClassNameW(box, name, 8) && name == std::wstring(L"#32770")) {
        HWND owner = ::GetWindow(box, GW_OWNER);
        gSeen.messageBoxes.push_back(
            {WindowText(box), WindowText(::GetDlgItem(box, 0xFFFF)), owner,
             owner && ::IsWindowEnabled(owner),
             ::GetDlgItem(box, IDOK) && !::GetDlgItem(box, IDCANCEL),
             reinterpret_cast<HICON>(::SendDlgItemMessageW(box, stc1, STM_GETICON, 0, 0))});
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK OnCall(int code, WPARAM wParam, LPARAM lParam) {
    const auto *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    const bool shown = call->message == WM_SHOWWINDOW && call->wParam;
    if (code == HC_ACTION && shown && WindowText(call->hwnd) == texts::kTitle &&
        gSeen.labelWhenShown.empty())
        gSeen.labelWhenShown = WindowText(::FindWindowExW(call->hwnd, nullptr, L"Static", nullptr));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// A top-level window of our own, Unicode, that hears the broadcasts.
LRESULT CALLBACK Listener(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto *wide = reinterpret_cast<const wchar_t *>(lParam);
    if (message == WM_SETTINGCHANGE) // Wine passes the A path's area on unconverted
        gSeen.broadcasts.push_back({wide[0] < 0x100 ? std::string(wide, wide + std::wcslen(wide))
                                                    : reinterpret_cast<const char *>(lParam),
                                    ::IsWindowVisible(::FindWindowW(nullptr, texts::kTitle)) != 0,
                                    gSeen.registry->Store()});
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// The colour and mask bits of an icon, one after the other.
std::vector<char> IconBits(HICON icon) {
    ICONINFO info{};
    std::vector<char> all;
    EXPECT_TRUE(::GetIconInfo(icon, &info));
    for (HBITMAP bitmap : {info.hbmColor, info.hbmMask}) {
        BITMAP size{};
        ::GetObjectW(bitmap, sizeof size, &size);
        all.push_back(static_cast<char>(size.bmWidth)); // so that sizes differ too
        std::vector<char> part(static_cast<std::size_t>(size.bmWidthBytes * size.bmHeight));
        part.resize(static_cast<std::size_t>(
            ::GetBitmapBits(bitmap, static_cast<LONG>(part.size()), part.data())));
        all.insert(all.end(), part.begin(), part.end());
        ::DeleteObject(bitmap);
    }
    return all;
}

RECT RectIn(HWND control, HWND parent) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

void Click(HWND control) {
    ::SendMessageW(control, BM_CLICK, 0, 0);
}

std::string StoreWith(const std::string &loaded, const std::string &changes) {
    RegTree tree;
    ImportRegedit4(tree, loaded + changes);
    return Listing(tree);
}

class WindowTest : public ::testing::TestWithParam<text::Path> {
  protected:
    void SetUp() override {
        text::ForcePath(GetParam());
        const DWORD thread = ::GetCurrentThreadId();
        hooks_[0] = ::SetWindowsHookExW(WH_CBT, OnActivation, nullptr, thread);
        hooks_[1] = ::SetWindowsHookExW(WH_CALLWNDPROC, OnCall, nullptr, thread);
        ASSERT_TRUE(hooks_[0] && hooks_[1]);
        listener_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      nullptr, nullptr);
        ::SetWindowLongPtrW(listener_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Listener));
    }
    void TearDown() override {
        form.reset();
        Drain();
        for (HHOOK hook : hooks_)
            ::UnhookWindowsHookEx(hook);
        ::DestroyWindow(listener_);
    }

    // Loads the registry, creates Form1 (which reads it and shows itself); clears the records.
    void Start(const std::string &regedit4 = kWin95) {
        form.reset();
        Drain();
        registry->Load(regedit4);
        before = Store();
        gSeen = {};
        gSeen.registry = registry.get();
        form = std::make_unique<Form1>(registry->registry(), ::GetModuleHandleW(nullptr));
        ASSERT_TRUE(form->Create());
        Drain();
    }

    HWND Form() const { return form->Window(); }
    HWND Check(int index) const { return form->Control(ControlKind::CheckBox, index); }
    HWND Command(int index) const { return form->Control(ControlKind::PushButton, index); }
    HWND Label() const { return form->Control(ControlKind::Label, 0); }
    std::string Store() { return registry->Store(); }
    std::wstring Focus() const { return WindowText(::GetFocus()); }

    // The eight boxes by index, "0"/"1" as BM_GETCHECK reports them.
    std::string Boxes() const {
        std::string boxes;
        for (int i = 0; i < kCheckCount; ++i)
            boxes += static_cast<char>('0' + ::SendMessageW(Check(i), BM_GETCHECK, 0, 0));
        return boxes;
    }

    // A key pressed and released on the focused control and handed to the dialog manager as the
    // message loop does; returns whether the dialog manager took the key down.
    bool Key(UINT virtualKey, bool shift = false) {
        BYTE keys[256]; // Shift as the dialog manager reads it, from the thread's key state
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(virtualKey, 0)) << 16;
        bool taken = false;
        for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
            const LPARAM up = message == WM_KEYUP ? 0xC0000000 : 0;
            MSG msg{::GetFocus(), message, virtualKey, 1 | scan | up, 0, {}};
            const bool handled = text::IsDialogMessageText(Form(), &msg) != 0;
            taken = taken || (handled && !up);
            if (!handled) {
                ::TranslateMessage(&msg);
                text::DispatchMessageText(&msg);
            }
            Drain();
        }
        return taken;
    }
    // Alt and a letter: the WM_SYSCHAR that TranslateMessage makes of it.
    bool AltLetter(wchar_t letter) {
        MSG msg{::GetFocus(), WM_SYSCHAR, letter, 1 | (1 << 29), 0, {}}; // bit 29: Alt is down
        const bool taken = text::IsDialogMessageText(Form(), &msg) != 0;
        Drain();
        return taken;
    }
    // Runs what is queued; true when WM_QUIT was among it.
    bool Drain() {
        bool quit = false;
        MSG msg;
        while (text::PeekMessageText(&msg, PM_REMOVE)) {
            quit = quit || msg.message == WM_QUIT;
            ::TranslateMessage(&msg);
            text::DispatchMessageText(&msg);
        }
        return quit;
    }

    std::unique_ptr<RegistryFixture> registry = MakeRegistryFixture();
    std::unique_ptr<Form1> form;
    std::string before; // the store as loaded

  private:
    HHOOK hooks_[2] = {};
    HWND listener_ = nullptr;
};

TEST_P(WindowTest, TheFrameAndEveryControlOfTheTable) {
    Start("REGEDIT4\n");
    const LONG style = ::GetWindowLongW(Form(), GWL_STYLE);
    EXPECT_EQ(WS_CAPTION | WS_SYSMENU, style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                                WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
    EXPECT_FALSE(::GetWindowLongW(Form(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(::IsWindowVisible(Form()));
    EXPECT_EQ(GetParam() == text::Path::Wide, !!::IsWindowUnicode(Form()));
    EXPECT_EQ(texts::kTitle, WindowText(Form()));
    HWND owner = ::GetWindow(Form(), GW_OWNER); // hidden: no task-bar button
    EXPECT_TRUE(owner && !::IsWindowVisible(owner) && !::GetParent(owner));
    for (auto [icon, size] : {std::pair{GCLP_HICON, SM_CXICON}, {GCLP_HICONSM, SM_CXSMICON}}) {
        const int pixels = ::GetSystemMetrics(size); // the resource's own frame of that size
        const auto own = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                         MAKEINTRESOURCEW(IDI_WRENCH), IMAGE_ICON,
                                                         pixels, pixels, 0));
        EXPECT_TRUE(IconBits(own) ==
                    IconBits(reinterpret_cast<HICON>(::GetClassLongPtrW(Form(), icon))))
            << pixels;
        ::DestroyIcon(own);
    }
    // Pictures take the system's icon size; at 144 dpi (CMakeLists.txt) two of them, drawn only
    // up to 32 pixels, come scaled by the system.
    const int dpi = form->Dpi(), icon = dpi == 96 ? 32 : 48;
    ASSERT_TRUE(dpi == 96 || dpi == 144) << dpi;
    RECT client;
    ::GetClientRect(Form(), &client);
    EXPECT_TRUE(client.right == ::MulDiv(4935, dpi, 1440) &&
                client.bottom == ::MulDiv(3615, dpi, 1440));

    HDC dc = ::GetDC(nullptr);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(Check(kCdRom), WM_GETFONT, 0, 0));
    LOGFONTW used{};
    ::GetObjectW(font, sizeof used, &used);
    NONCLIENTMETRICSW metrics{}; // the message font, or smaller by a quarter at most
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    const LOGFONTW &system = metrics.lfMessageFont;
    EXPECT_STREQ(system.lfFaceName, used.lfFaceName);
    EXPECT_TRUE(std::abs(used.lfHeight) <= std::abs(system.lfHeight) &&
                std::abs(used.lfHeight) * 4 >= std::abs(system.lfHeight) * 3);
    HGDIOBJ previous = ::SelectObject(dc, font);
    std::set<int> ids;
    for (const ControlRow &row : kControls) {
        HWND control = form->Control(row.kind, row.index);
        const bool picture = row.kind == ControlKind::Picture;
        SCOPED_TRACE(testing::PrintToString(WindowText(control)));
        ASSERT_EQ(Form(), ::GetParent(control));
        EXPECT_EQ(GetParam() == text::Path::Wide, !!::IsWindowUnicode(control));
        EXPECT_EQ(std::wstring(row.caption ? row.caption : L""), WindowText(control));
        const int id = ::GetDlgCtrlID(control);
        EXPECT_TRUE(id != IDOK && id != IDCANCEL && ids.insert(id).second) << id;
        EXPECT_TRUE(picture ||
                    font == reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));

        const TwipsRect t = ClientTwips(row);
        const RECT actual = RectIn(control, Form());
        const int x = ::MulDiv(t.left, dpi, 1440), y = ::MulDiv(t.top, dpi, 1440);
        const int w = picture ? icon : ::MulDiv(t.width, dpi, 1440);
        const int h = picture ? icon : ::MulDiv(t.height, dpi, 1440);
        EXPECT_TRUE(actual.left == x && actual.top == y && actual.right == x + w &&
                    actual.bottom == y + h);
        for (const wchar_t *caption :
             {row.caption, row.kind == ControlKind::Label ? texts::kAllDrivesNote : nullptr})
            EXPECT_TRUE(!caption || CaptionFits(dc, row.kind, caption, {w, h}, dpi));
        // Inside its own frame and no other; beside, never over, the other controls.
        for (const ControlRow &other : kControls) {
            RECT overlap, rect = RectIn(form->Control(other.kind, other.index), Form());
            const bool overlaps = ::IntersectRect(&overlap, &actual, &rect);
            const bool rowFrame = row.kind == ControlKind::GroupFrame;
            if (other.kind == ControlKind::GroupFrame && !rowFrame) {
                EXPECT_EQ(other.index == row.frame, !!::EqualRect(&overlap, &actual));
            } else if (&other != &row && rowFrame == (other.kind == ControlKind::GroupFrame)) {
                EXPECT_FALSE(overlaps) << static_cast<int>(other.kind) << "/" << other.index;
            }
        }
        if (picture) { // its own icon's pixels, without a border
            EXPECT_FALSE(::GetWindowLongW(control, GWL_STYLE) & (WS_BORDER | SS_REALSIZECONTROL));
            EXPECT_FALSE(::GetWindowLongW(control, GWL_EXSTYLE) &
                         (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
            const auto own = static_cast<HICON>(
                ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_IMAGE0 + row.index),
                             IMAGE_ICON, icon, icon, 0));
            const auto shown =
                IconBits(reinterpret_cast<HICON>(::SendMessageW(control, STM_GETICON, 0, 0)));
            EXPECT_EQ(static_cast<std::size_t>(icon * icon * 4 + icon * icon / 8 + 2),
                      shown.size());
            EXPECT_TRUE(shown == IconBits(own));
            ::DestroyIcon(own);
        }
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
}

TEST_P(WindowTest, TabWalksTheDesignsOrderBothWaysEnterAndEscapeAreInertSpaceToggles) {
    const std::vector<std::wstring> order = {
        L"&CD-ROM",   L"&Diskette", L"&Festplatte", L"&Ram-Disk", L"&Netzwerk",    L"&OK",
        L"&Standard", L"&Info",     L"&aktiv",      L"&Musik-CD", L"&Programm-CD", L"&Abbrechen"};
    Start();
    for (bool backwards : {false, true}) {
        std::vector<std::wstring> seen;
        for (std::size_t i = 0; i < order.size(); ++i) {
            EXPECT_TRUE(!backwards || Key(VK_TAB, true));
            seen.push_back(Focus());
            EXPECT_TRUE(backwards || Key(VK_TAB));
        }
        EXPECT_EQ(backwards ? std::vector<std::wstring>(order.rbegin(), order.rend()) : order,
                  seen);
    }
    // Enter and Escape press nothing: no button has the id IDOK or IDCANCEL, none is default.
    EXPECT_EQ(L"&CD-ROM", Focus());
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    EXPECT_TRUE(gSeen.messageBoxes.empty());
    ASSERT_EQ(Form1::Outcome::Open, form->outcome());
    EXPECT_NE(DC_HASDEFID, HIWORD(::SendMessageW(Form(), DM_GETDEFID, 0, 0)));
    EXPECT_TRUE(Key(VK_SPACE));
    EXPECT_EQ("11010010", Boxes());
    EXPECT_EQ(before, Store());
}

TEST_P(WindowTest, EveryAcceleratorAndOnlyAIsShared) {
    using O = Form1::Outcome;
    const struct {
        wchar_t letter;
        int from;             // the box that has the focus, -1: "&CD-ROM" as at the start
        const char *boxes;    // from "11010111"
        const wchar_t *focus; // where the focus goes, if it stays open
        O outcome;
    } cases[] = {
        {L'd', -1, "11110111", L"&Diskette", O::Open},
        {L'f', -1, "11000111", L"&Festplatte", O::Open},
        {L'r', -1, "11010101", L"&Ram-Disk", O::Open},
        {L'n', -1, "11011111", L"&Netzwerk", O::Open},
        {L'm', -1, "01010111", L"&Musik-CD", O::Open},
        {L'c', -1, "11010010", L"&CD-ROM", O::Open},
        {L'P', -1, "11010010", L"&Programm-CD", O::Open},
        {L'a', -1, "10010111", L"&aktiv", O::Open},
        {L's', kRemovable, "11010111", nullptr, O::Open},
        {L'i', -1, "11010111", nullptr, O::Open},
        {L'a', kProgramCd, nullptr, nullptr, O::Cancelled},
        {L'o', -1, nullptr, nullptr, O::Saved},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<char>(c.letter));
        Start();
        if (c.from >= 0)
            ::SetFocus(Check(c.from));
        if (c.letter == L's')
            Click(Check(kRemovable)); // so that "&Standard" has something to do
        EXPECT_TRUE(AltLetter(c.letter));
        EXPECT_EQ(c.letter == L'i' ? 1u : 0u, gSeen.messageBoxes.size()) << "the information box";
        EXPECT_EQ(c.outcome, form->outcome());
        EXPECT_TRUE(!c.boxes || c.boxes == Boxes());
        EXPECT_TRUE(!c.focus || c.focus == Focus());
    }
    // With "&aktiv" disabled its letter goes to "&Abbrechen".
    Start("REGEDIT4\n");
    EXPECT_TRUE(AltLetter(L'a'));
    EXPECT_EQ(Form1::Outcome::Cancelled, form->outcome());
}

TEST_P(WindowTest, TheFocusComesBackToItsControlWhenTheWindowIsActivatedAgain) {
    Start();
    ::SetFocus(Check(kFixed));
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                   nullptr, nullptr, nullptr);
    ::SetActiveWindow(other);
    Drain();
    EXPECT_NE(Check(kFixed), ::GetFocus());
    ::SetActiveWindow(Form());
    Drain();
    EXPECT_EQ(Check(kFixed), ::GetFocus());
    ::DestroyWindow(other);
}

TEST_P(WindowTest, StandardSetsTheDefaultsAndOnlyOkWritesThem) {
    const std::string loaded = kWin95 + kMask + "hex:ff,01,02,03\n" + kVerb + "\"\"\n";
    Start(loaded);
    EXPECT_EQ("01000000", Boxes());
    Click(Command(1));
    EXPECT_EQ("11010111", Boxes());
    EXPECT_EQ(before, Store());
    Click(Command(2));
    EXPECT_TRUE(gSeen.messageBoxes.empty()) << "a save that succeeds shows no message";
    EXPECT_EQ(Form1::Outcome::Saved, form->outcome());
    EXPECT_TRUE(Drain() && !Form()) << "the window is gone and the message loop ends";
    EXPECT_EQ(StoreWith(loaded, kMask + "hex:97,01,02,03\n" + kVerb + "\"play\"\n"), Store());
    ASSERT_EQ(1u, gSeen.broadcasts.size()) << "one WM_SETTINGCHANGE";
    EXPECT_EQ("Policy", gSeen.broadcasts[0].area);
    EXPECT_FALSE(gSeen.broadcasts[0].formShown) << "the window goes before the broadcast";
    EXPECT_EQ(Store(), gSeen.broadcasts[0].store) << "the broadcast follows the save";
}

TEST_P(WindowTest, AbbrechenAndTheCloseBoxEndWithoutWriting) {
    for (bool closeBox : {false, true}) {
        Start();
        Click(Check(kRemovable));
        Click(Command(1));
        closeBox ? (void)::SendMessageW(Form(), WM_CLOSE, 0, 0) : Click(Command(3));
        EXPECT_EQ(Form1::Outcome::Cancelled, form->outcome());
        EXPECT_TRUE(Drain() && !Form());
        EXPECT_EQ(before, Store());
        EXPECT_TRUE(gSeen.broadcasts.empty());
    }
}

// The information box, and the warning after a save that did not store everything or that a
// machine policy overrides; each modal to the window, with OK alone, and the window stays.
TEST_P(WindowTest, InfoAndTheSaveWarningsCharacterForCharacter) {
    const std::wstring intro = L"Folgende Einstellungen konnten nicht gespeichert werden:\r\n";
    const std::wstring policy =
        L"F\u00FCr welche Laufwerke AutoRun ausgef\u00FChrt wird, entscheidet eine Richtlinie "
        L"dieses Computers.";
    const struct {
        std::string registry;
        bool denyDevice;
        int button;
        LPCSTR icon;
        std::wstring text;
        Form1::Outcome outcome;
    } cases[] = {
        {kWin95, false, 0, IDI_INFORMATION,
         L"Ein Tool zum Bearbeiten der AutoRun-Funktionen von Win95.\r\r"
         L"\u00A9 Quenzel-Entwicklung\r\r'Verbesserungsvorschl\u00E4ge und konstruktive\r"
         L"Kritik sind mir immer willkommen!'\r\rE-Mail: quenzel@example.com",
         Form1::Outcome::Open},
        {"REGEDIT4\n" + kDevice, false, 2, IDI_WARNING,
         intro + L"\r\n- Laufwerkstypen f\u00FCr AutoRun\r\n- Sofortiger Start von Musik-CDs",
         Form1::Outcome::Saved},
        {kWin95 + kMachine + "dword:000000ff\n", false, 2, IDI_WARNING, policy,
         Form1::Outcome::Saved},
        {kWin95 + kMachine + "dword:000000ff\n", true, 2, IDI_WARNING,
         intro + L"\r\n- Signal f\u00FCr Medienwechsel\r\n\r\n" + policy, Form1::Outcome::Saved},
    };
    for (const auto &c : cases) {
        Start(c.registry);
        if (c.denyDevice) {
            ASSERT_TRUE(registry->DenyWrite(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CDROM\\0"));
        }
        HWND window = Form();
        for (int box : {kAudioCd, kMediaChange, kRemovable}) // something to save
            Click(Check(box));
        Click(Command(c.button));
        const auto &seen = gSeen.messageBoxes;
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(c.text, seen[0].text);
        EXPECT_EQ(texts::kTitle, seen[0].caption);
        EXPECT_TRUE(seen[0].owner == window && !seen[0].ownerEnabled) << "modal to the window";
        EXPECT_TRUE(seen[0].okOnly);
        EXPECT_EQ(::LoadIconA(nullptr, c.icon), seen[0].icon);
        EXPECT_EQ(c.outcome, form->outcome());
        EXPECT_TRUE(c.outcome == Form1::Outcome::Saved || before == Store());
    }
}

TEST_P(WindowTest, TheLabelShowsTheDriveOrTheNoteOfTheNtFamily) {
    ASSERT_EQ(1252u, ::GetACP());
    Start("REGEDIT4\n[HKEY_DYN_DATA\\Config Manager\\Enum\\E]\n\"HardWareKey\"=\"D\"\n"
          "[HKEY_LOCAL_MACHINE\\Enum\\D]\n\"DeviceDesc\"=\"Laufwerk f\xFCr CDs & DVDs \x80\"\n"
          "\"AutoInsertNotification\"=hex:00\n");
    EXPECT_EQ(L"Laufwerk f\u00FCr CDs & DVDs \u20AC", WindowText(Label()));
    EXPECT_EQ(WindowText(Label()), gSeen.labelWhenShown) << "read before the window is shown";
    EXPECT_EQ("0", Boxes().substr(kMediaChange, 1));

    const std::string nt = "REGEDIT4\n" + kMask + "hex:95,00,00,00\n" + kVerb + "\"play\"\n" +
                           kCdrom + "\"AutoRun\"=dword:00000000\n";
    Start(nt);
    EXPECT_EQ(texts::kAllDrivesNote, WindowText(Label()));
    EXPECT_EQ("10010111", Boxes());
    Click(Check(kMediaChange));
    Click(Command(2));
    EXPECT_EQ(StoreWith(nt, kCdrom + "\"AutoRun\"=dword:00000001\n"), Store());

    Start("REGEDIT4\n");
    EXPECT_EQ(texts::kNoDevice, WindowText(Label()));
    EXPECT_FALSE(::IsWindowEnabled(Check(kMediaChange)));
}

INSTANTIATE_TEST_SUITE_P(Paths, WindowTest, ::testing::Values(text::Path::Wide, text::Path::Ansi),
                         [](const auto &path) {
                             return path.param == text::Path::Wide ? "W" : "A";
                         });

} // namespace
} // namespace quenzel
