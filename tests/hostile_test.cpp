// Bad registry data at every place the tool reads: what the boxes and the label show after the
// start-up read, what "OK" writes, and that "Abbrechen" writes nothing. Runs natively and on
// Wine's advapi32 alike.
#include "model_form.h"
#include "registry_fixture.h"

#include "../registry/regedit4.h"

#include <gtest/gtest.h>

namespace quenzel {
namespace {

const std::string kPolicy =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\n";
const std::string kAudio = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AudioCD\\shell]\n";
const std::string kDevice = "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\CDROM\\0]\n";
const std::string kEntry = "[HKEY_DYN_DATA\\Config Manager\\Enum\\C29A1B00]\n";

// Windows 95 with one drive; each row below changes one thing.
const std::string kBase = "REGEDIT4\n" + kPolicy + "\"NoDriveTypeAutoRun\"=hex:95,00,00,00\n" +
                          kAudio + "@=\"play\"\n" + kDevice +
                          "\"DeviceDesc\"=\"CD-ROM\"\n\"AutoInsertNotification\"=hex:01\n" +
                          kEntry + "\"HardWareKey\"=\"SCSI\\\\CDROM\\\\0\"\n";

std::string Quoted(const std::string &text) {
    return "\"" + text + "\"";
}

struct Row {
    const char *what;
    std::string change;  // REGEDIT4 lines applied over the base
    std::string boxes;   // Check1(0..7) after the start-up read
    std::string label;   // Label1 after the read
    std::string written; // what "OK" writes, over the start state, as REGEDIT4 lines
};

std::vector<Row> Rows() {
    const std::string mask = kPolicy + "\"NoDriveTypeAutoRun\"=";
    const std::string verb = kAudio + "@=";
    const std::string key = kEntry + "\"HardWareKey\"=";
    const std::string long255(255, 'K'), long256(256, 'K');
    const std::string unwritten =
        kPolicy + "\"NoDriveTypeAutoRun\"=hex:95,00,00,00\n" + kAudio + "@=\"play\"\n";
    return {
        {"mask of 0 bytes", mask + "hex:\n", "11111111", "CD-ROM", mask + "hex:00,00,00,00\n"},
        {"mask of 1 byte", mask + "hex:95\n", "11010111", "CD-ROM", mask + "hex:95,00,00,00\n"},
        {"mask of 3 bytes", mask + "hex:95,12,34\n", "11010111", "CD-ROM",
         mask + "hex:95,12,34,00\n"},
        {"mask of 5 bytes", mask + "hex:95,00,00,00,07\n", "11111111", "CD-ROM",
         mask + "hex:00,00,00,00\n"},
        {"mask as REG_DWORD", mask + "dword:00000095\n", "11010111", "CD-ROM",
         mask + "dword:00000095\n"},
        // "95" as text: its bytes are read as the mask, and the mask is written back as binary.
        {"mask as REG_SZ", mask + "\"95\"\n", "11100010", "CD-ROM", mask + "hex:39,35,00,00\n"},
        {"verb of 255 characters", verb + Quoted(long255) + "\n", "01010111", "CD-ROM",
         verb + "\"\"\n"},
        {"verb of 256 characters", verb + Quoted(long256) + "\n", "01010111", "CD-ROM",
         verb + "\"\"\n"},
        {"verb of 300 characters", verb + Quoted(std::string(300, 'p')) + "\n", "01010111",
         "CD-ROM", verb + "\"\"\n"},
        {"verb with an embedded NUL", verb + "hex(1):70,6c,61,79,00,21,00\n", "11010111", "CD-ROM",
         verb + "\"play\"\n"},
        {"verb in capitals", verb + "\"PLAY\"\n", "11010111", "CD-ROM", verb + "\"play\"\n"},
        {"verb with a trailing space", verb + "\"play \"\n", "01010111", "CD-ROM", verb + "\"\"\n"},
        {"empty hardware key", key + "\"\"\n", "10010111", ModelForm::kNoDevice, unwritten},
        {"hardware key pointing at a missing key", key + "\"SCSI\\\\CDROM\\\\9\"\n", "10010111",
         ModelForm::kNoDevice, unwritten},
        {"hardware key with a trailing backslash", key + "\"SCSI\\\\CDROM\\\\0\\\\\"\n", "11010111",
         "CD-ROM", ""},
        {"hardware key of 255 characters",
         key + Quoted(long255) + "\n[HKEY_LOCAL_MACHINE\\Enum\\" + long255 +
             "]\n\"DeviceDesc\"=\"lang\"\n\"AutoInsertNotification\"=hex:00\n",
         "10010111", "lang", ""},
        {"hardware key of 256 characters", key + Quoted(long256) + "\n", "10010111",
         ModelForm::kNoDevice, unwritten},
        {"description with umlauts", kDevice + "\"DeviceDesc\"=\"Ger\xE4t f\xFCr CDs \xDF\"\n",
         "11010111", "Ger\xE4t f\xFCr CDs \xDF", ""},
        {"description of 300 characters",
         kDevice + "\"DeviceDesc\"=" + Quoted(std::string(300, 'D')) + "\n", "11010111",
         std::string(256, ' '), ""},
        {"notification byte of 0", kDevice + "\"AutoInsertNotification\"=hex:00\n", "10010111",
         "CD-ROM", ""},
        {"notification byte of 2", kDevice + "\"AutoInsertNotification\"=hex:02\n", "11010111",
         "CD-ROM", kDevice + "\"AutoInsertNotification\"=hex:01\n"},
        {"notification value of 4 bytes", kDevice + "\"AutoInsertNotification\"=hex:01,00,00,00\n",
         "10010111", ModelForm::kNoDevice, unwritten},
    };
}

class HostileRegistry : public ::testing::Test {
  protected:
    // Starts on the text; returns the store as it was before the read.
    RegTree Start(const std::string &text) {
        settings.reset();
        fixture.reset();
        form = ModelForm();
        fixture = MakeRegistryFixture();
        fixture->Load(text);
        RegTree start = fixture->Snapshot();
        settings = std::make_unique<Settings>(fixture->registry(), form);
        form.settings = settings.get();
        settings->ReadValuesFromRegistry();
        return start;
    }
    std::string Boxes() const {
        std::string s;
        for (int v : form.values)
            s += static_cast<char>('0' + v);
        return s;
    }
    std::string Store() { return ExportRegedit4(fixture->Snapshot()); }

    std::unique_ptr<RegistryFixture> fixture;
    ModelForm form;
    std::unique_ptr<Settings> settings;
};

TEST_F(HostileRegistry, EachBadValueShowsSafelyAndOnlyTheThreeValuesAreWritten) {
    for (const Row &row : Rows()) {
        SCOPED_TRACE(row.what);
        const std::string text = kBase + row.change;
        // Cancel: whatever was read, nothing is written.
        const RegTree start = Start(text);
        EXPECT_EQ(row.boxes, Boxes());
        EXPECT_EQ(row.label, form.label);
        EXPECT_EQ(ExportRegedit4(start), Store());

        Start(text);
        const SaveReport report = settings->SaveValues();
        EXPECT_FALSE(report.AnyFailed());
        RegTree expected = start;
        ImportRegedit4(expected, "REGEDIT4\n" + row.written);
        EXPECT_EQ(ExportRegedit4(expected), Store());
    }
}

TEST_F(HostileRegistry, ALongDeviceListIsSearchedToItsEnd) {
    std::string list = "REGEDIT4\n";
    for (int i = 0; i < 10000; ++i) {
        char entry[96];
        std::snprintf(
            entry, sizeof entry,
            "[HKEY_DYN_DATA\\Config Manager\\Enum\\%05d]\n\"HardWareKey\"=\"NONE\\\\%d\"\n", i, i);
        list += entry;
    }
    const std::string none = kBase + list.substr(9) + kEntry + "\"HardWareKey\"=-\n";
    // 10,000 entries and none qualifies; the drive's own entry has lost its hardware key.
    RegTree start = Start(none);
    EXPECT_EQ(ModelForm::kNoDevice, form.label);
    EXPECT_FALSE(form.enabled[kMediaChange]);
    form.UserClick(kRemovable);
    EXPECT_FALSE(settings->SaveValues().AnyFailed());
    ImportRegedit4(start, "REGEDIT4\n" + kPolicy + "\"NoDriveTypeAutoRun\"=hex:91,00,00,00\n");
    EXPECT_EQ(ExportRegedit4(start), Store());

    // Only the last one qualifies ("C29A1B00" sorts after the numbered entries).
    Start(kBase + list.substr(9));
    EXPECT_EQ("CD-ROM", form.label);
    EXPECT_EQ(1, form.values[kMediaChange]);
}

TEST_F(HostileRegistry, KeysThatRefuseWritingAreReportedAndNothingElseChanges) {
    const RegTree start = Start(kBase);
    if (!fixture->DenyWrite(hkey::CURRENT_USER, kPolicyKey) ||
        !fixture->DenyWrite(hkey::LOCAL_MACHINE, kAudioCdShellKey) ||
        !fixture->DenyWrite(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CDROM\\0"))
        GTEST_SKIP() << fixture->Name() << " does not enforce key security";
    const std::string denied = Store();
    for (int i : {kAudioCd, kMediaChange, kRemovable})
        form.UserClick(i);
    const SaveReport report = settings->SaveValues();
    EXPECT_TRUE(report.driveTypesFailed);
    EXPECT_TRUE(report.audioCdFailed);
    EXPECT_TRUE(report.mediaChangeFailed);
    EXPECT_EQ(denied, Store());
}

} // namespace
} // namespace quenzel
