// The keyboard through the dialog manager: focus at start, Tab and Shift+Tab, Alt with the
// underlined letters, space, and Enter and Escape pressing nothing.
#include "form_fixture.h"

#include "../../window/message_loop.h"

#include <map>

namespace quenzel {
namespace {

using KeyboardTest = FormTest;

const std::vector<std::wstring> kTabOrder = {
    L"&CD-ROM",   L"&Diskette", L"&Festplatte", L"&Ram-Disk", L"&Netzwerk",    L"&OK",
    L"&Standard", L"&Info",     L"&aktiv",      L"&Musik-CD", L"&Programm-CD", L"&Abbrechen"};

TEST_P(KeyboardTest, TheFocusStartsOnCdRom) {
    Start();
    EXPECT_EQ(L"&CD-ROM", WindowText(::GetFocus()));
}

TEST_P(KeyboardTest, TheTabOrderIsTheDesignsBothWaysAndWrapsAround) {
    Start();
    std::vector<std::wstring> forward, backward;
    HWND item = Check(kCdRom);
    for (std::size_t i = 0; i < kTabOrder.size(); ++i) {
        forward.push_back(WindowText(item));
        item = ::GetNextDlgTabItem(Form(), item, FALSE);
    }
    EXPECT_EQ(kTabOrder, forward);
    EXPECT_EQ(Check(kCdRom), item) << "wraps around to the first";
    for (std::size_t i = 0; i < kTabOrder.size(); ++i) {
        item = ::GetNextDlgTabItem(Form(), item, TRUE);
        backward.push_back(WindowText(item));
    }
    EXPECT_EQ(std::vector<std::wstring>(kTabOrder.rbegin(), kTabOrder.rend()), backward);
}

TEST_P(KeyboardTest, TabAndShiftTabMoveTheFocusThroughTheTwelveControlsOnly) {
    Start();
    std::vector<std::wstring> seen;
    for (std::size_t i = 0; i < kTabOrder.size(); ++i) {
        seen.push_back(WindowText(::GetFocus()));
        EXPECT_TRUE(Key(VK_TAB));
    }
    EXPECT_EQ(kTabOrder, seen);
    EXPECT_EQ(L"&CD-ROM", WindowText(::GetFocus()));

    seen.clear();
    for (std::size_t i = 0; i < kTabOrder.size(); ++i) {
        EXPECT_TRUE(Key(VK_TAB, true));
        seen.push_back(WindowText(::GetFocus()));
    }
    EXPECT_EQ(std::vector<std::wstring>(kTabOrder.rbegin(), kTabOrder.rend()), seen);
    EXPECT_EQ(before, Store());
    EXPECT_EQ("11010111", Boxes()) << "moving the focus changes no box";
}

TEST_P(KeyboardTest, EveryCheckBoxAndButtonHasAMnemonicAndOnlyAIsShared) {
    Start();
    std::map<wchar_t, std::vector<std::wstring>> letters;
    for (HWND child = ::GetWindow(Form(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring caption = WindowText(child);
        const LONG type = ::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        const bool button = _wcsicmp(name, L"Button") == 0 && type != BS_GROUPBOX;
        const std::size_t amp = caption.find(L'&');
        if (!button) {
            EXPECT_EQ(std::wstring::npos, amp) << testing::PrintToString(caption);
            continue;
        }
        ASSERT_NE(std::wstring::npos, amp) << testing::PrintToString(caption);
        EXPECT_EQ(std::wstring::npos, caption.find(L'&', amp + 1));
        letters[static_cast<wchar_t>(::towupper(caption[amp + 1]))].push_back(caption);
    }
    std::size_t controls = 0;
    for (const auto &letter : letters) {
        controls += letter.second.size();
        if (letter.first == L'A')
            EXPECT_EQ((std::vector<std::wstring>{L"&aktiv", L"&Abbrechen"}), letter.second);
        else
            EXPECT_EQ(1u, letter.second.size()) << static_cast<char>(letter.first);
    }
    EXPECT_EQ(12u, controls);
    EXPECT_EQ(11u, letters.size());
}

TEST_P(KeyboardTest, AltWithTheLetterOfACheckBoxTogglesItAndFocusesIt) {
    const struct {
        wchar_t letter;
        const char *boxes; // from "11010111"
        const wchar_t *focus;
    } cases[] = {
        {L'd', "11110111", L"&Diskette"},
        {L'f', "11000111", L"&Festplatte"},
        {L'r', "11010101", L"&Ram-Disk"},
        {L'n', "11011111", L"&Netzwerk"},
        {L'm', "01010111", L"&Musik-CD"},
        {L'c', "11010010", L"&CD-ROM"},
        {L'P', "11010010", L"&Programm-CD"},
        {L'a', "10010111", L"&aktiv"}, // from "&CD-ROM" the next A in the order is "&aktiv"
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<char>(c.letter));
        Start();
        EXPECT_TRUE(AltLetter(c.letter));
        EXPECT_EQ(c.boxes, Boxes());
        EXPECT_EQ(c.focus, WindowText(::GetFocus()));
        EXPECT_EQ(Form1::Outcome::Open, form->outcome());
    }
}

TEST_P(KeyboardTest, AltWithTheLetterOfAButtonPressesIt) {
    // "&Standard"
    Start("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\"
          "Explorer]\n\"NoDriveTypeAutoRun\"=hex:ff,00,00,00\n");
    EXPECT_EQ("00000000", Boxes());
    EXPECT_TRUE(AltLetter(L's'));
    EXPECT_EQ("10010111", Boxes());
    EXPECT_EQ(before, Store());

    // "&Info"
    Start();
    {
        MessageBoxWatcher watcher(::GetCurrentThreadId());
        EXPECT_TRUE(AltLetter(L'i'));
        const auto boxes = watcher.Stop();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(L"Quenzel", boxes[0].caption);
    }
    EXPECT_EQ(Form1::Outcome::Open, form->outcome());

    // "&OK"
    Start();
    EXPECT_TRUE(AltLetter(L'd'));
    EXPECT_TRUE(AltLetter(L'o'));
    EXPECT_EQ(Form1::Outcome::Saved, form->outcome());
    EXPECT_EQ(nullptr, Form());
    EXPECT_NE(before, Store());

    // "&Abbrechen": A after "&aktiv" in the order, so from "&Programm-CD".
    Start();
    EXPECT_TRUE(AltLetter(L'd'));
    ::SetFocus(Check(kProgramCd));
    EXPECT_TRUE(AltLetter(L'a'));
    EXPECT_EQ(Form1::Outcome::Cancelled, form->outcome());
    EXPECT_EQ(before, Store());
}

TEST_P(KeyboardTest, WithAktivDisabledItsLetterGoesToAbbrechen) {
    Start("REGEDIT4\n");
    ASSERT_FALSE(::IsWindowEnabled(Check(kMediaChange)));
    EXPECT_TRUE(AltLetter(L'a'));
    EXPECT_EQ(Form1::Outcome::Cancelled, form->outcome());
}

TEST_P(KeyboardTest, SpaceTogglesTheFocusedBox) {
    Start();
    EXPECT_TRUE(Key(VK_SPACE));
    EXPECT_EQ("11010010", Boxes());
    EXPECT_TRUE(Key(VK_SPACE));
    EXPECT_EQ("11010111", Boxes());
    ::SetFocus(Check(kRemovable));
    EXPECT_TRUE(Key(VK_SPACE));
    EXPECT_EQ("11110111", Boxes());
}

TEST_P(KeyboardTest, EnterAndEscapeOnACheckBoxPressNoButton) {
    for (int index : {kCdRom, kMediaChange, kProgramCd}) {
        SCOPED_TRACE(index);
        Start();
        ::SetFocus(Check(index));
        MessageBoxWatcher watcher(::GetCurrentThreadId());
        EXPECT_TRUE(Key(VK_RETURN));
        EXPECT_TRUE(Key(VK_ESCAPE));
        EXPECT_TRUE(watcher.Stop().empty());
        EXPECT_EQ(Form1::Outcome::Open, form->outcome());
        ASSERT_NE(nullptr, Form());
        EXPECT_EQ("11010111", Boxes());
        EXPECT_EQ(Check(index), ::GetFocus());
        EXPECT_EQ(before, Store());
    }
}

TEST_P(KeyboardTest, NoButtonIsTheDefaultButton) {
    Start();
    EXPECT_NE(DC_HASDEFID, HIWORD(::SendMessageW(Form(), DM_GETDEFID, 0, 0)));
    for (int i = 0; i < 4; ++i) {
        const LRESULT code = ::SendMessageW(Command(i), WM_GETDLGCODE, 0, 0);
        EXPECT_FALSE(code & DLGC_DEFPUSHBUTTON) << WindowText(Command(i));
        EXPECT_EQ(BS_PUSHBUTTON, ::GetWindowLongW(Command(i), GWL_STYLE) & BS_TYPEMASK);
    }
}

void Press(std::vector<INPUT> &inputs, WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
}

HWND gStuckForm = nullptr;
void CALLBACK CloseStuckForm(HWND, UINT, UINT_PTR, DWORD) {
    ::PostMessageW(gStuckForm, WM_CLOSE, 0, 0);
}

// Keys from the keyboard driver, through the program's own message loop.
TEST_P(KeyboardTest, RealKeysThroughTheMessageLoopChangeABoxAndSave) {
    Start();
    ::SetForegroundWindow(Form());
    ASSERT_EQ(Check(kCdRom), ::GetFocus());
    std::vector<INPUT> keys;
    for (WORD key : {static_cast<WORD>(VK_TAB), static_cast<WORD>(VK_SPACE)}) {
        Press(keys, key, false);
        Press(keys, key, true);
    }
    Press(keys, VK_MENU, false);
    Press(keys, 'O', false);
    Press(keys, 'O', true);
    Press(keys, VK_MENU, true);
    ASSERT_EQ(keys.size(), ::SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)));

    // Should the keys go astray, the close box ends the loop and the test fails below.
    gStuckForm = Form();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10000, CloseStuckForm);
    EXPECT_EQ(0, RunMessageLoop(*form));
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(Form1::Outcome::Saved, form->outcome());
    RegTree expected = ParseRegedit4(kWin95Registry);
    expected
        .Find(hkey::CURRENT_USER,
              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer")
        ->SetValue("NoDriveTypeAutoRun", reg::BINARY, {0x91, 0, 0, 0});
    EXPECT_EQ(ExportRegedit4(expected), Store());
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyboardTest, ::testing::Values(text::Path::Wide, text::Path::Ansi),
                         PathName);

} // namespace
} // namespace quenzel
