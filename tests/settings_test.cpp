// The settings engine on a registry: the start-up read, the mappings, the defaults, the coupling
// of the two CD-ROM boxes and the save, compared against the whole store.
#include "model_form.h"
#include "registry_fixture.h"

#include "../registry/regedit4.h"

#include <gtest/gtest.h>

namespace quenzel {
namespace {

const std::string kPolicy =
    "[HKEY_CURRENT_USER\\software\\microsoft\\windows\\currentversion\\policies\\explorer]\n";
const std::string kAudio = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AudioCD\\shell]\n";
const std::string kList = "[HKEY_DYN_DATA\\Config Manager\\Enum]\n";

std::string Entry(const std::string &entry, const std::string &hardwareKey) {
    std::string text = "[HKEY_DYN_DATA\\Config Manager\\Enum\\" + entry + "]\n";
    if (!hardwareKey.empty())
        text += "\"HardWareKey\"=\"" + hardwareKey + "\"\n";
    return text;
}

std::string Device(const std::string &hardwareKey, const std::string &values) {
    return "[HKEY_LOCAL_MACHINE\\Enum\\" + hardwareKey + "]\n" + values;
}

// A Windows 95 machine with one CD-ROM drive.
const std::string kWin95 = "REGEDIT4\n" + kPolicy + "\"NoDriveTypeAutoRun\"=hex:95,00,00,00\n" +
                           kAudio + "@=\"play\"\n" + Entry("C29A1B00", "SCSI\\\\CDROM\\\\0") +
                           Device("SCSI\\CDROM\\0", "\"DeviceDesc\"=\"Mein Laufwerk\"\n"
                                                    "\"AutoInsertNotification\"=hex:01\n");

class SettingsTest : public ::testing::Test {
  protected:
    void Start(const std::string &regedit4) {
        settings.reset();
        fixture.reset(); // one scratch registry at a time: the roots are redirected process-wide
        form = ModelForm();
        fixture = MakeRegistryFixture();
        fixture->Load(regedit4);
        before = fixture->Snapshot();
        settings = std::make_unique<Settings>(fixture->registry(), form);
        form.settings = settings.get();
        settings->ReadValuesFromRegistry();
        if (fixture->OpenHandles() >= 0) {
            EXPECT_EQ(0, fixture->OpenHandles()) << "keys left open by the read";
        }
    }
    SaveReport Save() {
        SaveReport report = settings->SaveValues();
        if (fixture->OpenHandles() >= 0) {
            EXPECT_EQ(0, fixture->OpenHandles()) << "keys left open by the save";
        }
        return report;
    }
    std::string Boxes() const {
        std::string s;
        for (int v : form.values)
            s += static_cast<char>('0' + v);
        return s;
    }
    // The store as it was at start, with the given changes.
    RegTree Expected() const { return before; }
    void ExpectStore(const RegTree &expected) {
        EXPECT_EQ(ExportRegedit4(expected), ExportRegedit4(fixture->Snapshot()));
    }

    std::unique_ptr<RegistryFixture> fixture;
    RegTree before;
    ModelForm form;
    std::unique_ptr<Settings> settings;
};

using Bytes = std::vector<unsigned char>;

// --- The start-up read -------------------------------------------------------------------

TEST_F(SettingsTest, Win95DefaultsShowAsSpecifiedInTheOrderOfTheirClicks) {
    Start(kWin95);
    //                 index 01234567
    EXPECT_EQ("11010111", Boxes());
    // Only changing assignments click; "&Programm-CD" follows "&CD-ROM" at once, before
    // "&Ram-Disk" is assigned.
    EXPECT_EQ((std::vector<int>{3, 5, 7, 6, 0, 1}), form.clicks);
    EXPECT_EQ("Mein Laufwerk", form.label);
    EXPECT_EQ(std::string("\x95\0\0\0", 4), settings->DriveTypeData);
    EXPECT_EQ(std::string("SCSI\\CDROM\\0") + '\0' + std::string(243, ' '),
              settings->CdHardwareKey);
    EXPECT_EQ(256u, settings->AudioCdVerb.size());
    EXPECT_TRUE(form.enabled[kMediaChange]);
    EXPECT_EQ(MediaChangeSource::Device, settings->mediaChangeSource());
}

TEST_F(SettingsTest, ABitSetForCdRomLeavesBothCdRomBoxesUncheckedWithoutAClick) {
    Start("REGEDIT4\n" + kPolicy + "\"NoDriveTypeAutoRun\"=hex:20,00,00,00\n");
    EXPECT_EQ("00111010", Boxes());
    EXPECT_EQ((std::vector<int>{2, 3, 4, 6}), form.clicks);
}

TEST_F(SettingsTest, AMaskOfTheWrongLengthFillsWhatFitsOrNothing) {
    Start("REGEDIT4\n" + kPolicy + "\"NoDriveTypeAutoRun\"=hex:fc\n");
    EXPECT_EQ(std::string("\xfc\0\0\0", 4), settings->DriveTypeData);
    EXPECT_EQ("00000000", Boxes());
    // Five bytes cannot be read into four: the mask stays zero and every drive type is allowed.
    Start("REGEDIT4\n" + kPolicy + "\"NoDriveTypeAutoRun\"=hex:fc,00,00,00,00\n");
    EXPECT_EQ(std::string(4, '\0'), settings->DriveTypeData);
    EXPECT_EQ("00111111", Boxes());
}

TEST_F(SettingsTest, AnEmptyRegistryLeavesTheStartState) {
    Start("REGEDIT4\n");
    EXPECT_EQ("00111111", Boxes());
    EXPECT_EQ(ModelForm::kNoDevice, form.label);
    EXPECT_EQ(std::string(256, ' '), settings->AudioCdVerb);
    EXPECT_EQ("", settings->CdHardwareKey);
    EXPECT_EQ(std::string(1, '\0'), settings->InsertNotifyData);
}

TEST_F(SettingsTest, TheAudioCdVerbIsPlayInAnyCaseUpToItsFirstNul) {
    const struct {
        const char *data;
        int checked;
    } cases[] = {
        {"\"PLAY\"", 1},  {"\"pLaY\"", 1},  {"hex(1):70,6c,61,79,00,78,00", 1},
        {"\"play \"", 0}, {"\"plays\"", 0}, {"\"\"", 0},
        {"\"open\"", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.data);
        Start("REGEDIT4\n" + kAudio + "@=" + c.data + "\n");
        EXPECT_EQ(c.checked, form.values[kAudioCd]);
    }
}

// --- The device search ---------------------------------------------------------------------

TEST_F(SettingsTest, TheFirstEntryWhoseNotificationByteCanBeReadIsTheDrive) {
    Start("REGEDIT4\n" + Entry("A", "") + Entry("B", "DEV\\\\NOBYTE") + Entry("C", "DEV\\\\BIG") +
          Entry("D", "DEV\\\\MISSING") + Entry("E", "DEV\\\\CD") + Entry("F", "DEV\\\\LATER") +
          Device("DEV\\NOBYTE", "\"DeviceDesc\"=\"no byte\"\n") +
          Device("DEV\\BIG", "\"AutoInsertNotification\"=hex:01,00,00,00\n") +
          Device("DEV\\CD", "\"DeviceDesc\"=\"CD\"\n\"AutoInsertNotification\"=hex:02\n") +
          Device("DEV\\LATER", "\"DeviceDesc\"=\"later\"\n\"AutoInsertNotification\"=hex:01\n"));
    EXPECT_EQ("CD", form.label);
    EXPECT_EQ(1, form.values[kMediaChange]);
    EXPECT_EQ(std::string("\x02", 1), settings->InsertNotifyData);
    EXPECT_EQ("DEV\\CD", CutAtNull(settings->CdHardwareKey));
}

TEST_F(SettingsTest, AFirstDriveWithByteZeroEndsTheSearch) {
    Start("REGEDIT4\n" + Entry("A", "DEV\\\\OFF") + Entry("B", "DEV\\\\ON") +
          Device("DEV\\OFF", "\"AutoInsertNotification\"=hex:00\n") +
          Device("DEV\\ON", "\"DeviceDesc\"=\"on\"\n\"AutoInsertNotification\"=hex:01\n"));
    EXPECT_EQ(0, form.values[kMediaChange]);
    // No "DeviceDesc": the label shows the unfilled buffer.
    EXPECT_EQ(std::string(256, ' '), form.label);
    EXPECT_EQ("DEV\\OFF", CutAtNull(settings->CdHardwareKey));
    EXPECT_TRUE(form.enabled[kMediaChange]);
}

TEST_F(SettingsTest, WithoutAQualifyingEntryTheBoxIsDisabledAndKeepsTheLastBuffer) {
    Start("REGEDIT4\n" + Entry("A", "DEV\\\\ONE") + Entry("B", "DEV\\\\TWO"));
    EXPECT_EQ(ModelForm::kNoDevice, form.label);
    EXPECT_EQ(0, form.values[kMediaChange]);
    EXPECT_FALSE(form.enabled[kMediaChange]);
    EXPECT_EQ(std::string("DEV\\TWO") + '\0' + std::string(248, ' '), settings->CdHardwareKey);
    EXPECT_EQ(MediaChangeSource::None, settings->mediaChangeSource());

    Start("REGEDIT4\n" + kList);
    EXPECT_FALSE(form.enabled[kMediaChange]);
    EXPECT_EQ("", settings->CdHardwareKey);
}

// --- The defaults and the coupling ----------------------------------------------------------

TEST_F(SettingsTest, DefaultsSetTheDriveTypesAndAudioCdButNotTheMediaChangeBox) {
    Start(kWin95);
    for (int i : {0, 1, 2, 3, 4, 5, 6})
        form.UserClick(i);
    EXPECT_EQ("00101000", Boxes());
    settings->SetDefaultValues();
    EXPECT_EQ("10010111", Boxes());
    ExpectStore(before);
}

TEST_F(SettingsTest, CdRomAndProgramCdMoveTogetherAndNothingElseDoes) {
    Start(kWin95);
    form.clicks.clear();
    form.UserClick(kCdRom);
    EXPECT_EQ("11010010", Boxes());
    form.UserClick(kProgramCd);
    EXPECT_EQ("11010111", Boxes());
    EXPECT_EQ((std::vector<int>{5, 7, 7, 5}), form.clicks);
    for (int i : {0, 1, 2, 3, 4, 6}) {
        const std::string was = Boxes();
        form.UserClick(i);
        std::string expected = was;
        expected[static_cast<std::size_t>(i)] ^= 1;
        EXPECT_EQ(expected, Boxes()) << i;
    }
}

// --- The save --------------------------------------------------------------------------------

TEST_F(SettingsTest, SaveWritesExactlyTheThreeValuesAndKeepsTheOtherBitsAndBytes) {
    Start("REGEDIT4\n" + kPolicy + "\"NoDriveTypeAutoRun\"=hex:95,12,34,56\n" + kAudio +
          "@=\"PLAY\"\n\"other\"=\"x\"\n" + Entry("E", "DEV\\\\CD") +
          Device("DEV\\CD", "\"AutoInsertNotification\"=hex:02\n\"DeviceDesc\"=\"CD\"\n"));
    form.UserClick(kRemovable);
    form.UserClick(kRemote);
    form.UserClick(kAudioCd);
    const SaveReport report = Save();
    EXPECT_FALSE(report.AnyFailed());
    RegTree expected = Expected();
    expected.Find(hkey::CURRENT_USER, kPolicyKey)
        ->SetValue("NoDriveTypeAutoRun", reg::BINARY, {0x81, 0x12, 0x34, 0x56});
    expected.Find(hkey::LOCAL_MACHINE, kAudioCdShellKey)->SetValue("", reg::SZ, {0});
    expected.Find(hkey::LOCAL_MACHINE, "Enum\\DEV\\CD")
        ->SetValue("AutoInsertNotification", reg::BINARY, {1});
    ExpectStore(expected);
}

TEST_F(SettingsTest, SavingNothingCheckedFromAMissingMaskGives7C) {
    Start("REGEDIT4\n" + kPolicy + kAudio + Entry("E", "DEV\\\\CD") +
          Device("DEV\\CD", "\"AutoInsertNotification\"=hex:01\n"));
    for (int i : {kRemovable, kFixed, kRemote, kCdRom, kRamDisk, kMediaChange})
        form.UserClick(i);
    EXPECT_EQ("00000000", Boxes());
    EXPECT_FALSE(Save().AnyFailed());
    RegTree expected = Expected();
    expected.Find(hkey::CURRENT_USER, kPolicyKey)
        ->SetValue("NoDriveTypeAutoRun", reg::BINARY, {0x7c, 0, 0, 0});
    expected.Find(hkey::LOCAL_MACHINE, kAudioCdShellKey)->SetValue("", reg::SZ, {0});
    expected.Find(hkey::LOCAL_MACHINE, "Enum\\DEV\\CD")
        ->SetValue("AutoInsertNotification", reg::BINARY, {0});
    ExpectStore(expected);
}

TEST_F(SettingsTest, StandardThenSaveStoresTheDefaultMaskWithTheOtherBitsAsRead) {
    Start("REGEDIT4\n" + kPolicy + "\"NoDriveTypeAutoRun\"=hex:ff,00,00,00\n" + kAudio);
    settings->SetDefaultValues();
    Save();
    RegTree expected = Expected();
    expected.Find(hkey::CURRENT_USER, kPolicyKey)
        ->SetValue("NoDriveTypeAutoRun", reg::BINARY, {0x97, 0, 0, 0});
    expected.Find(hkey::LOCAL_MACHINE, kAudioCdShellKey)
        ->SetValue("", reg::SZ, {'p', 'l', 'a', 'y', 0});
    ExpectStore(expected);
}

TEST_F(SettingsTest, WithoutADeviceNothingIsWrittenUnderEnum) {
    // The last entry's hardware key names another device, and an empty one would name "Enum".
    Start("REGEDIT4\n" + kPolicy + kAudio + Entry("A", "DEV\\\\OTHER") + Entry("B", "") +
          Device("DEV\\OTHER", "\"DeviceDesc\"=\"Maus\"\n") + "[HKEY_LOCAL_MACHINE\\Enum]\n");
    form.UserClick(kMediaChange);
    EXPECT_FALSE(Save().AnyFailed());
    RegTree expected = Expected();
    expected.Find(hkey::CURRENT_USER, kPolicyKey)
        ->SetValue("NoDriveTypeAutoRun", reg::BINARY, {0, 0, 0, 0});
    expected.Find(hkey::LOCAL_MACHINE, kAudioCdShellKey)->SetValue("", reg::SZ, {0});
    ExpectStore(expected);
}

TEST_F(SettingsTest, MissingKeysAreNeitherCreatedNorReportedAsSaved) {
    Start(kWin95);
    fixture->Load("REGEDIT4\n" + Device("SCSI\\CDROM\\0", "\"AutoInsertNotification\"=hex:01\n"));
    const RegTree emptied = fixture->Snapshot();
    const SaveReport report = Save();
    EXPECT_TRUE(report.driveTypesFailed);
    EXPECT_TRUE(report.audioCdFailed);
    EXPECT_FALSE(report.mediaChangeFailed);
    RegTree expected = emptied;
    expected.Find(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CDROM\\0")
        ->SetValue("AutoInsertNotification", reg::BINARY, {1});
    ExpectStore(expected);
}

TEST_F(SettingsTest, AKeyThatRefusesWritingIsReportedAndTheRestIsSaved) {
    Start(kWin95);
    if (!fixture->DenyWrite(hkey::LOCAL_MACHINE, kAudioCdShellKey) ||
        !fixture->DenyWrite(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CDROM\\0"))
        GTEST_SKIP() << fixture->Name() << " does not enforce key security";
    const RegTree start = fixture->Snapshot();
    form.UserClick(kRemovable);
    const SaveReport report = Save();
    EXPECT_FALSE(report.driveTypesFailed);
    EXPECT_TRUE(report.audioCdFailed);
    EXPECT_TRUE(report.mediaChangeFailed);
    RegTree expected = start;
    expected.Find(hkey::CURRENT_USER, kPolicyKey)
        ->SetValue("NoDriveTypeAutoRun", reg::BINARY, {0x91, 0, 0, 0});
    ExpectStore(expected);
}

TEST_F(SettingsTest, AMaskStoredAsDwordKeepsItsType) {
    Start("REGEDIT4\n" + kPolicy + "\"NoDriveTypeAutoRun\"=dword:00000091\n");
    EXPECT_EQ("00110111", Boxes());
    Save();
    RegTree expected = Expected();
    expected.Find(hkey::CURRENT_USER, kPolicyKey)
        ->SetValue("NoDriveTypeAutoRun", reg::DWORD, {0x91, 0, 0, 0});
    ExpectStore(expected);
}

// --- Without a device list: the Cdrom driver's switch -----------------------------------------

const std::string kCdromService =
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Cdrom]\n\"Start\"=dword:00000001\n";

TEST_F(SettingsTest, WithoutADeviceListTheCdromDriverSwitchStandsForAllDrives) {
    const struct {
        const char *value;
        int checked;
        bool writtenWhenLeftAlone;
    } cases[] = {
        {"\"AutoRun\"=dword:00000000\n", 0, true},
        {"\"AutoRun\"=dword:00000001\n", 1, true},
        {"\"AutoRun\"=dword:00000002\n", 1, true},
        {"", 1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        Start("REGEDIT4\n" + kCdromService + c.value);
        EXPECT_EQ(c.checked, form.values[kMediaChange]);
        EXPECT_TRUE(form.enabled[kMediaChange]);
        EXPECT_EQ("<all drives>", form.label);
        EXPECT_EQ(MediaChangeSource::CdromService, settings->mediaChangeSource());
        const SaveReport report = Save();
        EXPECT_FALSE(report.mediaChangeFailed);
        EXPECT_TRUE(report.driveTypesFailed); // this machine has no policy key
        RegTree expected = Expected();
        if (c.writtenWhenLeftAlone)
            expected.Find(hkey::LOCAL_MACHINE, kCdromServiceKey)
                ->SetValue("AutoRun", reg::DWORD, {static_cast<unsigned char>(c.checked), 0, 0, 0});
        ExpectStore(expected);

        // Changed by the user, it is always written.
        Start("REGEDIT4\n" + kCdromService + c.value);
        form.UserClick(kMediaChange);
        Save();
        expected = Expected();
        expected.Find(hkey::LOCAL_MACHINE, kCdromServiceKey)
            ->SetValue("AutoRun", reg::DWORD, {static_cast<unsigned char>(1 - c.checked), 0, 0, 0});
        ExpectStore(expected);
    }
}

TEST_F(SettingsTest, WithNeitherDeviceListNorCdromDriverTheBoxIsDisabled) {
    Start("REGEDIT4\n" + kPolicy + kAudio);
    EXPECT_FALSE(form.enabled[kMediaChange]);
    EXPECT_EQ(ModelForm::kNoDevice, form.label);
    EXPECT_FALSE(Save().AnyFailed());
}

TEST_F(SettingsTest, AMachineWideMaskThatDiffersIsReported) {
    const std::string machine =
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\n";
    const struct {
        const char *value;
        bool reported;
    } cases[] = {
        {"\"NoDriveTypeAutoRun\"=dword:00000091\n", true},
        {"\"NoDriveTypeAutoRun\"=dword:00000095\n", false},
        {"\"NoDriveTypeAutoRun\"=hex:95,00,00,00\n", false},
        {"\"NoDriveTypeAutoRun\"=hex:ff,00,00,00,00\n", true},
        {"", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        Start(kWin95 + machine + c.value);
        const RegTree start = fixture->Snapshot();
        EXPECT_EQ(c.reported, Save().machinePolicyDecides);
        // Nothing changed: the values saved are those read, and the machine's is never written.
        EXPECT_EQ(ExportRegedit4(start), ExportRegedit4(fixture->Snapshot()));
    }
}

} // namespace
} // namespace quenzel
