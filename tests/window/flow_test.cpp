// The program's flow on the real window: the start-up read, clicks and the CD-ROM coupling,
// "&Standard", "&OK", "&Abbrechen", the close box, the information box and the save warning.
#include "form_fixture.h"

namespace quenzel {
namespace {

using FlowTest = FormTest;

const std::string kPolicyKey =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\n";
const std::string kAudioKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AudioCD\\shell]\n";
const std::string kDevice = "[HKEY_DYN_DATA\\Config Manager\\Enum\\E]\n\"HardWareKey\"=\"D\"\n"
                            "[HKEY_LOCAL_MACHINE\\Enum\\D]\n\"AutoInsertNotification\"=hex:01\n";

void Click(HWND control) {
    ::SendMessageW(control, BM_CLICK, 0, 0);
}

// The store as loaded with some values replaced.
std::string StoreWith(const std::string &loaded, const std::string &changes) {
    RegTree tree = ParseRegedit4(loaded);
    ImportRegedit4(tree, "REGEDIT4\n" + changes);
    return ExportRegedit4(tree);
}

TEST_P(FlowTest, TheWindowOpensWithTheSettingsOfTheRegistry) {
    Start();
    //         index 01234567
    EXPECT_EQ("11010111", Boxes());
    EXPECT_EQ(text::FromAnsi(kDeviceDescription), WindowText(Label()));
    EXPECT_TRUE(::IsWindowEnabled(Check(kMediaChange)));
    EXPECT_EQ(before, Store());
}

TEST_P(FlowTest, CdRomAndProgrammCdMoveTogetherAndNoOtherBoxDoes) {
    Start();
    Click(Check(kCdRom));
    EXPECT_EQ("11010010", Boxes());
    Click(Check(kProgramCd));
    EXPECT_EQ("11010111", Boxes());
    Click(Check(kProgramCd));
    EXPECT_EQ("11010010", Boxes());
    Click(Check(kCdRom));
    EXPECT_EQ("11010111", Boxes());
    const char *alone[] = {"01010111", "10010111", "11110111", "11000111",
                           "11011111", nullptr,    "11010101"};
    for (int i : {kAudioCd, kMediaChange, kRemovable, kFixed, kRemote, kRamDisk}) {
        Click(Check(i));
        EXPECT_EQ(alone[i], Boxes()) << i;
        Click(Check(i));
        EXPECT_EQ("11010111", Boxes()) << i;
    }
    EXPECT_EQ(before, Store());
}

TEST_P(FlowTest, AClickOnlyEverTogglesBetweenZeroAndOne) {
    Start();
    ::SendMessageW(Check(kRemovable), BM_SETCHECK, BST_INDETERMINATE, 0);
    Click(Check(kRemovable));
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageW(Check(kRemovable), BM_GETCHECK, 0, 0));
    Click(Check(kRemovable));
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(Check(kRemovable), BM_GETCHECK, 0, 0));
}

TEST_P(FlowTest, AnAssignmentThatChangesAValueClicksOnceAndBmSetCheckNever) {
    Start();
    // BM_SETCHECK from outside is no assignment: "&Programm-CD" stays.
    ::SendMessageW(Check(kCdRom), BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ("11010011", Boxes());
    // An assignment that changes "&CD-ROM" clicks it, and "&Programm-CD" follows.
    form->SetValue(kCdRom, 1);
    form->SetValue(kCdRom, 0);
    EXPECT_EQ("11010010", Boxes());
    // One that keeps the value clicks nothing, so "&Programm-CD" keeps its own.
    ::SendMessageW(Check(kProgramCd), BM_SETCHECK, BST_CHECKED, 0);
    form->SetValue(kCdRom, 0);
    EXPECT_EQ("11010011", Boxes());
}

TEST_P(FlowTest, StandardSetsTheDefaultsAndWritesNothing) {
    const std::string loaded = "REGEDIT4\n" + kPolicyKey +
                               "\"NoDriveTypeAutoRun\"=hex:ff,01,02,03\n" + kAudioKey + "@=\"\"\n" +
                               kDevice;
    Start(loaded);
    EXPECT_EQ("01000000", Boxes());
    Click(Command(1));
    EXPECT_EQ("11010111", Boxes()) << "\"&aktiv\" is left as it was";
    EXPECT_EQ(Form1::Outcome::Open, form->outcome());
    EXPECT_EQ(before, Store());

    // Only a following "&OK" stores them, with the other bits and bytes as read.
    Click(Command(2));
    EXPECT_EQ(StoreWith(loaded, kPolicyKey + "\"NoDriveTypeAutoRun\"=hex:97,01,02,03\n" +
                                    kAudioKey + "@=\"play\"\n"),
              Store());
}

TEST_P(FlowTest, OkWritesAllThreeValuesTellsTheShellAndEnds) {
    Start();
    SettingChangeListener listener;
    MessageBoxWatcher watcher(::GetCurrentThreadId());
    Click(Check(kRemovable));
    Click(Check(kAudioCd));
    Click(Check(kMediaChange));
    Click(Command(2));
    EXPECT_TRUE(watcher.Stop().empty()) << "a save that succeeds shows no message";
    EXPECT_EQ(Form1::Outcome::Saved, form->outcome());
    EXPECT_EQ(nullptr, Form());
    EXPECT_TRUE(Drain()) << "the message loop ends";
    EXPECT_EQ(StoreWith(kWin95Registry,
                        kPolicyKey + "\"NoDriveTypeAutoRun\"=hex:91,00,00,00\n" + kAudioKey +
                            "@=\"\"\n[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\CDROM_ATAPI\\0]\n"
                            "\"AutoInsertNotification\"=hex:00\n"),
              Store());
    ASSERT_EQ(1u, listener.areas().size()) << "one WM_SETTINGCHANGE";
    // Wine hands the text of an A broadcast over without converting it for the receiving window,
    // so only the W path's text can be read back here.
    if (GetParam() == text::Path::Wide) {
        EXPECT_EQ(L"Policy", listener.areas()[0]);
    }
}

TEST_P(FlowTest, AbbrechenAndTheCloseBoxEndWithoutWriting) {
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Abbrechen");
        Start();
        SettingChangeListener listener;
        Click(Check(kRemovable));
        Click(Check(kCdRom));
        Click(Command(1));
        if (closeBox)
            ::SendMessageW(Form(), WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            Click(Command(3));
        EXPECT_EQ(Form1::Outcome::Cancelled, form->outcome());
        EXPECT_EQ(nullptr, Form());
        EXPECT_TRUE(Drain());
        EXPECT_EQ(before, Store());
        EXPECT_TRUE(listener.areas().empty());
    }
}

TEST_P(FlowTest, InfoShowsTheInformationBoxWordForWord) {
    Start();
    const std::string boxesBefore = Boxes();
    MessageBoxWatcher watcher(::GetCurrentThreadId());
    Click(Command(0));
    const auto seen = watcher.Stop();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(L"Quenzel", seen[0].caption);
    EXPECT_EQ(L"Ein Tool zum Bearbeiten der AutoRun-Funktionen von Win95.\r\r"
              L"\u00A9 Quenzel-Entwicklung\r\r"
              L"'Verbesserungsvorschl\u00E4ge und konstruktive\r"
              L"Kritik sind mir immer willkommen!'\r\r"
              L"E-Mail: quenzel@example.com",
              seen[0].text);
    EXPECT_EQ(Form(), seen[0].owner);
    EXPECT_FALSE(seen[0].ownerEnabled) << "the box is modal";
    EXPECT_TRUE(seen[0].hasOk);
    EXPECT_FALSE(seen[0].hasCancel);
    EXPECT_EQ(::LoadIconA(nullptr, IDI_INFORMATION), seen[0].icon);

    EXPECT_EQ(Form1::Outcome::Open, form->outcome());
    EXPECT_TRUE(::IsWindowEnabled(Form()));
    EXPECT_EQ(boxesBefore, Boxes());
    EXPECT_EQ(before, Store());
}

TEST_P(FlowTest, SettingsThatCouldNotBeSavedAreNamedBeforeTheEnd) {
    // No policy key and no audio CD key: both values have nowhere to go.
    Start("REGEDIT4\n" + kDevice);
    HWND formWindow = Form();
    MessageBoxWatcher watcher(::GetCurrentThreadId());
    Click(Command(2));
    const auto seen = watcher.Stop();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(L"Quenzel", seen[0].caption);
    EXPECT_EQ(L"Folgende Einstellungen konnten nicht gespeichert werden:\r\n"
              L"\r\n- Laufwerkstypen f\u00FCr AutoRun"
              L"\r\n- Sofortiger Start von Musik-CDs",
              seen[0].text);
    EXPECT_EQ(formWindow, seen[0].owner);
    EXPECT_TRUE(seen[0].hasOk);
    EXPECT_FALSE(seen[0].hasCancel);
    EXPECT_EQ(::LoadIconA(nullptr, IDI_WARNING), seen[0].icon);
    EXPECT_EQ(Form1::Outcome::Saved, form->outcome());
    EXPECT_EQ(StoreWith("REGEDIT4\n" + kDevice,
                        "[HKEY_LOCAL_MACHINE\\Enum\\D]\n\"AutoInsertNotification\"=hex:01\n"),
              Store());
}

TEST_P(FlowTest, AMachinePolicyThatDecidesIsToldAfterTheSave) {
    const std::string loaded =
        kWin95Registry +
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\n"
        "\"NoDriveTypeAutoRun\"=dword:000000ff\n";
    Start(loaded);
    MessageBoxWatcher watcher(::GetCurrentThreadId());
    Click(Command(2));
    const auto seen = watcher.Stop();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(L"F\u00FCr welche Laufwerke AutoRun ausgef\u00FChrt wird, entscheidet eine "
              L"Richtlinie dieses Computers.",
              seen[0].text);
    EXPECT_EQ(::LoadIconA(nullptr, IDI_WARNING), seen[0].icon);
    EXPECT_EQ(Form1::Outcome::Saved, form->outcome());
}

TEST_P(FlowTest, AKeyThatRefusesWritingIsNamedWithThePolicy) {
    const std::string loaded =
        kWin95Registry +
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\n"
        "\"NoDriveTypeAutoRun\"=dword:000000ff\n";
    Start(loaded);
    if (!registry->DenyWrite(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CDROM_ATAPI\\0"))
        GTEST_SKIP() << "this registry does not enforce key security";
    MessageBoxWatcher watcher(::GetCurrentThreadId());
    Click(Command(2));
    const auto seen = watcher.Stop();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(L"Folgende Einstellungen konnten nicht gespeichert werden:\r\n"
              L"\r\n- Signal f\u00FCr Medienwechsel\r\n\r\n"
              L"F\u00FCr welche Laufwerke AutoRun ausgef\u00FChrt wird, entscheidet eine "
              L"Richtlinie dieses Computers.",
              seen[0].text);
}

INSTANTIATE_TEST_SUITE_P(Paths, FlowTest, ::testing::Values(text::Path::Wide, text::Path::Ansi),
                         PathName);

} // namespace
} // namespace quenzel
