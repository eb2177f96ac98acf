// The real Form1 under Wine, driven through the dialog manager, BM_CLICK and WM_CLOSE, on the W
// and on the A path: frame, controls, keys, the program's flow and its messages.
#include "form_fixture.h"

#include "../../window/controls.h"
#include "../../window/dialog_font.h"
#include "../../window/resource.h"
#include "../../window/texts.h"

#include <cstdlib>
#include <set>

namespace quenzel {
namespace {

using WindowTest = FormTest;

const std::vector<std::wstring> kTabOrder = {
    L"&CD-ROM",   L"&Diskette", L"&Festplatte", L"&Ram-Disk", L"&Netzwerk",    L"&OK",
    L"&Standard", L"&Info",     L"&aktiv",      L"&Musik-CD", L"&Programm-CD", L"&Abbrechen"};

void Click(HWND control) {
    ::SendMessageW(control, BM_CLICK, 0, 0);
}

std::string StoreWith(const std::string &loaded, const std::string &changes) {
    RegTree tree;
    ImportRegedit4(tree, loaded + changes);
    return Listing(tree);
}

// The pictures take the system icon size: their 48-pixel frames at 144 dpi, where two of them,
// drawn only up to 32 pixels, come scaled by the system. The suite runs at 96 dpi and the table
// test once more at 144 (CMakeLists.txt).
const struct { int dpi, pixels; } kPictureSizes[] = {{96, 32}, {144, 48}};

TEST_P(WindowTest, TheFrameAndEveryControlOfTheTable) {
    Start("REGEDIT4\n");
    const LONG style = ::GetWindowLongW(Form(), GWL_STYLE);
    EXPECT_EQ(WS_CAPTION | WS_SYSMENU, style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                                WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
    EXPECT_FALSE(::GetWindowLongW(Form(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(::IsWindowVisible(Form()));
    EXPECT_EQ(GetParam() == text::Path::Wide, !!::IsWindowUnicode(Form()));
    EXPECT_EQ(L"Quenzel", WindowText(Form()));
    HWND owner = ::GetWindow(Form(), GW_OWNER); // hidden: no task-bar button
    EXPECT_TRUE(owner && !::IsWindowVisible(owner) && !::GetParent(owner));
    EXPECT_TRUE(::GetClassLongPtrW(Form(), GCLP_HICON) && ::GetClassLongPtrW(Form(), GCLP_HICONSM));
    const int dpi = form->Dpi();
    int icon = 0;
    for (const auto &size : kPictureSizes)
        icon = size.dpi == dpi ? size.pixels : icon;
    ASSERT_NE(0, icon) << "no picture size for " << dpi << " dpi";
    RECT client;
    ::GetClientRect(Form(), &client);
    EXPECT_EQ(::MulDiv(4935, dpi, 1440), client.right);
    EXPECT_EQ(::MulDiv(3615, dpi, 1440), client.bottom);

    HDC dc = ::GetDC(nullptr);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(Check(kCdRom), WM_GETFONT, 0, 0));
    LOGFONTW used{};
    ::GetObjectW(font, sizeof used, &used);
    const LOGFONTW system = text::MessageFont(); // or smaller, by a quarter at most
    EXPECT_STREQ(system.lfFaceName, used.lfFaceName);
    EXPECT_TRUE(std::abs(used.lfHeight) <= std::abs(system.lfHeight) &&
                std::abs(used.lfHeight) * 4 >= std::abs(system.lfHeight) * 3);
    HGDIOBJ previous = ::SelectObject(dc, font);
    std::set<int> ids;
    for (const ControlRow &row : kControls) {
        HWND control = form->Control(row.kind, row.index);
        SCOPED_TRACE(testing::PrintToString(WindowText(control)));
        ASSERT_EQ(Form(), ::GetParent(control));
        EXPECT_EQ(GetParam() == text::Path::Wide, !!::IsWindowUnicode(control));
        EXPECT_EQ(std::wstring(row.caption ? row.caption : L""), WindowText(control));
        const int id = ::GetDlgCtrlID(control);
        EXPECT_TRUE(id != IDOK && id != IDCANCEL && ids.insert(id).second) << id;
        if (row.kind != ControlKind::Picture) {
            EXPECT_EQ(font, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        }

        const TwipsRect t = ClientTwips(row);
        const RECT actual = RectIn(control, Form());
        const int x = ::MulDiv(t.left, dpi, 1440), y = ::MulDiv(t.top, dpi, 1440);
        const int w = row.kind == ControlKind::Picture ? icon : ::MulDiv(t.width, dpi, 1440);
        const int h = row.kind == ControlKind::Picture ? icon : ::MulDiv(t.height, dpi, 1440);
        EXPECT_TRUE(actual.left == x && actual.top == y && actual.right == x + w &&
                    actual.bottom == y + h);
        for (const wchar_t *caption :
             {row.caption, row.kind == ControlKind::Label ? texts::kAllDrivesNote : nullptr})
            EXPECT_TRUE(!caption || CaptionFits(dc, row.kind, caption, {w, h}, dpi));
        // Inside its own frame and no other; beside, never over, the other controls.
        for (const ControlRow &other : kControls) {
            RECT overlap, rect = RectIn(form->Control(other.kind, other.index), Form());
            const bool overlaps = ::IntersectRect(&overlap, &actual, &rect);
            const bool contains = ::EqualRect(&overlap, &actual);
            const bool rowFrame = row.kind == ControlKind::GroupFrame;
            const bool otherFrame = other.kind == ControlKind::GroupFrame;
            if (otherFrame && !rowFrame) {
                EXPECT_EQ(other.index == row.frame, contains) << "frame " << other.index;
            } else if (&other != &row && rowFrame == otherFrame) {
                EXPECT_FALSE(overlaps) << testing::PrintToString(
                    std::wstring(other.caption ? other.caption : L"picture"));
            }
        }
        if (row.kind == ControlKind::Picture) { // its own icon's pixels, without a border
            EXPECT_FALSE(::GetWindowLongW(control, GWL_STYLE) & (WS_BORDER | SS_REALSIZECONTROL));
            EXPECT_FALSE(::GetWindowLongW(control, GWL_EXSTYLE) &
                         (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
            const auto own = static_cast<HICON>(
                ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_IMAGE0 + row.index),
                             IMAGE_ICON, icon, icon, 0));
            const auto shown =
                IconBits(reinterpret_cast<HICON>(::SendMessageW(control, STM_GETICON, 0, 0)));
            EXPECT_EQ(static_cast<std::size_t>(icon * icon * 4 + icon * icon / 8), shown.size());
            EXPECT_TRUE(shown == IconBits(own));
            ::DestroyIcon(own);
        }
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
}

TEST_P(WindowTest, TabWalksTheDesignsOrderBothWaysEnterAndEscapeAreInertSpaceToggles) {
    Start();
    for (bool backwards : {false, true}) {
        std::vector<std::wstring> seen;
        for (std::size_t i = 0; i < kTabOrder.size(); ++i) {
            EXPECT_TRUE(!backwards || Key(VK_TAB, true));
            seen.push_back(WindowText(::GetFocus()));
            EXPECT_TRUE(backwards || Key(VK_TAB));
        }
        EXPECT_EQ(backwards ? std::vector<std::wstring>(kTabOrder.rbegin(), kTabOrder.rend())
                            : kTabOrder,
                  seen);
    }
    // Enter and Escape press nothing: no button has the id IDOK or IDCANCEL, none is default.
    EXPECT_EQ(L"&CD-ROM", WindowText(::GetFocus()));
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
        if (c.boxes) {
            EXPECT_EQ(c.boxes, Boxes());
        }
        if (c.focus) {
            EXPECT_EQ(c.focus, WindowText(::GetFocus()));
        }
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
    ASSERT_EQ(1u, gSeen.settingChanges.size()) << "one WM_SETTINGCHANGE";
    if (GetParam() == text::Path::Wide) {
        EXPECT_EQ(L"Policy", gSeen.settingChanges[0]);
    }
}

TEST_P(WindowTest, AbbrechenAndTheCloseBoxEndWithoutWriting) {
    for (bool closeBox : {false, true}) {
        Start();
        Click(Check(kRemovable));
        Click(Command(1));
        if (closeBox)
            ::SendMessageW(Form(), WM_CLOSE, 0, 0);
        else
            Click(Command(3));
        EXPECT_EQ(Form1::Outcome::Cancelled, form->outcome());
        EXPECT_TRUE(Drain() && !Form());
        EXPECT_EQ(before, Store());
        EXPECT_TRUE(gSeen.settingChanges.empty());
    }
}

TEST_P(WindowTest, InfoShowsTheInformationBoxCharacterForCharacter) {
    Start();
    Click(Command(0));
    const auto &seen = gSeen.messageBoxes;
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(L"Quenzel", seen[0].caption);
    EXPECT_EQ(L"Ein Tool zum Bearbeiten der AutoRun-Funktionen von Win95.\r\r"
              L"\u00A9 Quenzel-Entwicklung\r\r'Verbesserungsvorschl\u00E4ge und konstruktive\r"
              L"Kritik sind mir immer willkommen!'\r\rE-Mail: quenzel@example.com",
              seen[0].text);
    EXPECT_TRUE(seen[0].owner == Form() && !seen[0].ownerEnabled) << "modal to the window";
    EXPECT_TRUE(seen[0].hasOk && !seen[0].hasCancel);
    EXPECT_EQ(::LoadIconA(nullptr, IDI_INFORMATION), seen[0].icon);
    EXPECT_EQ(Form1::Outcome::Open, form->outcome());
    EXPECT_EQ(before, Store());
}

TEST_P(WindowTest, ASaveThatFailsOrThatAPolicyOverridesIsToldBeforeTheEnd) {
    const std::wstring intro = L"Folgende Einstellungen konnten nicht gespeichert werden:\r\n";
    const std::wstring policy =
        L"F\u00FCr welche Laufwerke AutoRun ausgef\u00FChrt wird, entscheidet eine Richtlinie "
        L"dieses Computers.";
    const struct {
        std::string registry;
        bool denyDevice;
        std::wstring text;
    } cases[] = {
        {"REGEDIT4\n" + kDevice, false,
         intro + L"\r\n- Laufwerkstypen f\u00FCr AutoRun\r\n- Sofortiger Start von Musik-CDs"},
        {kWin95 + kMachine + "dword:000000ff\n", false, policy},
        {kWin95 + kMachine + "dword:000000ff\n", true,
         intro + L"\r\n- Signal f\u00FCr Medienwechsel\r\n\r\n" + policy},
    };
    for (const auto &c : cases) {
        Start(c.registry);
        if (c.denyDevice) {
            ASSERT_TRUE(registry->DenyWrite(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CDROM\\0"));
        }
        HWND window = Form();
        Click(Command(2));
        const auto &seen = gSeen.messageBoxes;
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(c.text, seen[0].text);
        EXPECT_TRUE(seen[0].caption == L"Quenzel" && seen[0].owner == window);
        EXPECT_EQ(::LoadIconA(nullptr, IDI_WARNING), seen[0].icon);
        EXPECT_EQ(Form1::Outcome::Saved, form->outcome());
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
    EXPECT_EQ(std::wstring(texts::kAllDrivesNote), WindowText(Label()));
    EXPECT_EQ("10010111", Boxes());
    Click(Check(kMediaChange));
    Click(Command(2));
    EXPECT_EQ(StoreWith(nt, kCdrom + "\"AutoRun\"=dword:00000001\n"), Store());

    Start("REGEDIT4\n");
    EXPECT_EQ(std::wstring(texts::kNoDevice), WindowText(Label()));
    EXPECT_FALSE(::IsWindowEnabled(Check(kMediaChange)));
}

INSTANTIATE_TEST_SUITE_P(Paths, WindowTest, ::testing::Values(text::Path::Wide, text::Path::Ansi),
                         [](const auto &path) {
                             return path.param == text::Path::Wide ? "W" : "A";
                         });

} // namespace
} // namespace quenzel
