// The settings engine on one table of starting registries: what the boxes and the label show
// after the start-up read, that "&Abbrechen" writes nothing, and exactly what "&OK" writes and
// reports. Runs natively and on Wine's advapi32 alike.
#include "model_form.h"
#include "registry_fixture.h"

#include <gtest/gtest.h>

namespace quenzel {
namespace {

const std::string kOn = "\"AutoInsertNotification\"=hex:01\n";
const std::string kOff = "\"AutoInsertNotification\"=hex:00\n";

// The NT family has no device list but the Cdrom driver.
const std::string kNt = "REGEDIT4\n" + kMask + "hex:95,00,00,00\n" + kVerb + "\"play\"\n" + kCdrom +
                        "\"Start\"=dword:00000001\n";
const std::string kEmpty = "REGEDIT4\n";
const std::string kAll = "<all drives>";

std::string Quoted(std::size_t length, char c) {
    return "\"" + std::string(length, c) + "\"\n";
}

// Entries before the drive's own: none of them names a readable one-byte notification value.
std::string Filler(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "[HKEY_DYN_DATA\\Config Manager\\Enum\\0" + std::to_string(1000 + i) +
                "]\n\"HardWareKey\"=\"NONE\\\\" + std::to_string(i) + "\"\n";
    return text;
}

struct Row {
    const char *what;
    const std::string &base;
    std::string change;  // REGEDIT4 lines over the base
    std::string deny;    // keys that refuse writing: D policy, A audio CD, M device, C Cdrom
    std::string clicks;  // box indices clicked in turn; S is "&Standard"
    std::string boxes;   // Check1(0..7) after the read; _ is a disabled, unchecked box
    std::string label;   // Label1 after the read
    std::string written; // what "&OK" writes, as REGEDIT4 lines over the start
    std::string report;  // what the save reports: D, A, M not saved; P a machine policy decides
};

// clang-format off
std::vector<Row> Rows() {
    const std::string none = ModelForm::kNoDevice;
    return {
        {"Windows 95 as installed", kWin95, "", "", "", "11010111", "CD-ROM", "", ""},
        {"every box but Programm-CD clicked", kWin95, "", "", "0123456", "11010111", "CD-ROM",
         kMask + "hex:e9,00,00,00\n" + kVerb + "\"\"\n" + kDevice + kOff, ""},
        {"Programm-CD takes CD-ROM along", kWin95, "", "", "7", "11010111", "CD-ROM", kMask + "hex:b5,00,00,00\n", ""},
        {"Standard keeps the other bits and bytes and leaves aktiv", kWin95,
         kMask + "hex:ff,01,02,03\n" + kVerb + "\"\"\n", "", "1S", "01000000", "CD-ROM",
         kMask + "hex:97,01,02,03\n" + kVerb + "\"play\"\n" + kDevice + kOff, ""},
        {"mask of no bytes", kWin95, kMask + "hex:\n", "", "", "11111111", "CD-ROM", kMask + "hex:00,00,00,00\n", ""},
        {"mask of 1 byte", kWin95, kMask + "hex:95\n", "", "", "11010111", "CD-ROM", kMask + "hex:95,00,00,00\n", ""},
        {"mask of 3 bytes", kWin95, kMask + "hex:95,12,34\n", "", "", "11010111", "CD-ROM", kMask + "hex:95,12,34,00\n", ""},
        {"mask of 5 bytes left alone", kWin95, kMask + "hex:95,00,00,00,07\n", "", "22", "11111111", "CD-ROM", "", ""},
        {"mask of 5 bytes, one box clicked", kWin95, kMask + "hex:95,00,00,00,07\n", "", "2", "11111111", "CD-ROM", kMask + "hex:04,00,00,00\n", ""},
        {"missing mask left alone", kWin95, kMask + "-\n", "", "", "11111111", "CD-ROM", "", ""},
        {"missing mask, one box clicked", kWin95, kMask + "-\n", "", "6", "11111111", "CD-ROM", kMask + "hex:40,00,00,00\n", ""},
        {"mask as REG_DWORD keeps its type", kWin95, kMask + "dword:00000095\n", "", "2", "11010111", "CD-ROM", kMask + "dword:00000091\n", ""},
        {"mask as text", kWin95, kMask + "\"95\"\n", "", "", "11100010", "CD-ROM", kMask + "hex:39,35,00,00\n", ""},
        {"verb of 255 characters", kWin95, kVerb + Quoted(255, 'p'), "", "", "01010111", "CD-ROM", kVerb + "\"\"\n", ""},
        {"verb of 256 characters left alone", kWin95, kVerb + Quoted(256, 'p'), "", "00", "01010111", "CD-ROM", "", ""},
        {"verb of 256 characters switched on", kWin95, kVerb + Quoted(256, 'p'), "", "0", "01010111", "CD-ROM", kVerb + "\"play\"\n", ""},
        {"missing verb left alone", kWin95, kVerb + "-\n", "", "", "01010111", "CD-ROM", "", ""},
        {"missing verb switched on", kWin95, kVerb + "-\n", "", "0", "01010111", "CD-ROM", kVerb + "\"play\"\n", ""},
        {"empty verb left alone", kWin95, kVerb + "\"\"\n", "", "", "01010111", "CD-ROM", "", ""},
        {"verb with an embedded NUL", kWin95, kVerb + "hex(1):70,6c,61,79,00,21,00\n", "", "", "11010111", "CD-ROM", kVerb + "\"play\"\n", ""},
        {"verb in capitals", kWin95, kVerb + "\"PLAY\"\n", "", "", "11010111", "CD-ROM", kVerb + "\"play\"\n", ""},
        {"verb with a trailing space", kWin95, kVerb + "\"play \"\n", "", "", "01010111", "CD-ROM", kVerb + "\"\"\n", ""},
        {"empty hardware key", kWin95, kEntry + "\"\"\n", "", "", "1_010111", none, "", ""},
        {"hardware key of a device without the byte", kWin95,
         kEntry + "\"MOUSE\\\\0\"\n[HKEY_LOCAL_MACHINE\\Enum\\MOUSE\\0]\n\"DeviceDesc\"=\"Maus\"\n", "", "", "1_010111", none, "", ""},
        {"hardware key with a trailing backslash", kWin95, kEntry + "\"SCSI\\\\CDROM\\\\0\\\\\"\n", "", "", "11010111", "CD-ROM", "", ""},
        {"hardware key of 255 characters", kWin95, kEntry + Quoted(255, 'K') + "[HKEY_LOCAL_MACHINE\\Enum\\" +
         std::string(255, 'K') + "]\n\"DeviceDesc\"=\"lang\"\n" + kOff, "", "", "10010111", "lang", "", ""},
        {"hardware key of 256 characters", kWin95, kEntry + Quoted(256, 'K'), "", "", "1_010111", none, "", ""},
        {"description with umlauts", kWin95, kDevice + "\"DeviceDesc\"=\"Ger\xE4t f\xFCr CDs \xDF\"\n", "", "", "11010111", "Ger\xE4t f\xFCr CDs \xDF", "", ""},
        {"description of 300 characters", kWin95, kDevice + "\"DeviceDesc\"=" + Quoted(300, 'D'), "", "", "11010111", std::string(256, ' '), "", ""},
        {"notification byte 0", kWin95, kDevice + kOff, "", "", "10010111", "CD-ROM", "", ""},
        {"notification byte 2", kWin95, kDevice + "\"AutoInsertNotification\"=hex:02\n", "", "", "11010111", "CD-ROM", kDevice + kOn, ""},
        {"notification value of 4 bytes", kWin95, kDevice + "\"AutoInsertNotification\"=hex:01,00,00,00\n", "", "", "1_010111", none, "", ""},
        {"the first entry with a readable byte is the drive", kWin95,
         "[HKEY_DYN_DATA\\Config Manager\\Enum\\0A]\n"
         "[HKEY_DYN_DATA\\Config Manager\\Enum\\0B]\n\"HardWareKey\"=\"DEV\\\\BIG\"\n"
         "[HKEY_LOCAL_MACHINE\\Enum\\DEV\\BIG]\n\"AutoInsertNotification\"=hex:01,00\n"
         "[HKEY_DYN_DATA\\Config Manager\\Enum\\0C]\n\"HardWareKey\"=\"DEV\\\\ZERO\"\n"
         "[HKEY_LOCAL_MACHINE\\Enum\\DEV\\ZERO]\n\"DeviceDesc\"=\"first\"\n" + kOff,
         "", "1", "10010111", "first", "[HKEY_LOCAL_MACHINE\\Enum\\DEV\\ZERO]\n" + kOn, ""},
        {"a long list where only the last entry qualifies", kWin95, Filler(1000), "", "", "11010111", "CD-ROM", "", ""},
        {"NT: AutoRun 0", kNt, kCdrom + "\"AutoRun\"=dword:00000000\n", "", "", "10010111", kAll, "", ""},
        {"NT: AutoRun 0 switched on", kNt, kCdrom + "\"AutoRun\"=dword:00000000\n", "", "1", "10010111", kAll, kCdrom + "\"AutoRun\"=dword:00000001\n", ""},
        {"NT: AutoRun 2 is on and saved as 1", kNt, kCdrom + "\"AutoRun\"=dword:00000002\n", "", "", "11010111", kAll, kCdrom + "\"AutoRun\"=dword:00000001\n", ""},
        {"NT: a missing AutoRun stays missing", kNt, "", "", "", "11010111", kAll, "", ""},
        {"NT: a missing AutoRun switched off", kNt, "", "", "1", "11010111", kAll, kCdrom + "\"AutoRun\"=dword:00000000\n", ""},
        {"NT: neither device list nor Cdrom driver", kEmpty, kMask + "hex:95\n" + kVerb + "\"play\"\n", "", "", "1_010111", none, kMask + "hex:95,00,00,00\n", ""},
        {"a machine-wide mask that differs", kWin95, kMachine + "dword:00000091\n", "", "", "11010111", "CD-ROM", "", "P"},
        {"a machine-wide mask that agrees", kWin95, kMachine + "dword:00000095\n", "", "", "11010111", "CD-ROM", "", ""},
        {"clicks that make the mask the machine's", kWin95, kMachine + "dword:00000091\n", "", "2", "11010111", "CD-ROM", kMask + "hex:91,00,00,00\n", ""},
        {"clicks that make the mask differ from the machine's", kWin95, kMachine + "dword:00000095\n", "", "2", "11010111", "CD-ROM", kMask + "hex:91,00,00,00\n", "P"},
        {"a machine-wide mask of 5 bytes", kWin95, kMachine + "hex:95,00,00,00,00\n", "", "", "11010111", "CD-ROM", "", "P"},
        {"an empty registry: keys are not created", kEmpty, "", "", "02", "0_111111", none, "", "DA"},
        {"keys that refuse writing", kWin95, "", "AM", "012", "11010111", "CD-ROM", kMask + "hex:91,00,00,00\n", "AM"},
        {"keys that refuse writing, left alone", kWin95, "", "DAM", "0022", "11010111", "CD-ROM", "", ""},
        {"the policy key refuses writing", kWin95, "", "D", "2", "11010111", "CD-ROM", "", "D"},
        {"NT: the Cdrom key refuses writing", kNt, "", "C", "1", "11010111", kAll, "", "M"},
        {"NT: the Cdrom key refuses writing, left alone", kNt, kCdrom + "\"AutoRun\"=dword:00000000\n", "C", "", "10010111", kAll, "", ""},
    };
}
// clang-format on

class EngineTest : public ::testing::Test {
  protected:
    // Loads the row's registry and runs the start-up read; returns the store as it was before.
    RegTree Start(const Row &row) {
        settings.reset();
        fixture.reset(); // one scratch registry at a time: the roots are redirected process-wide
        form = ModelForm();
        fixture = MakeRegistryFixture();
        fixture->Load(row.base + row.change);
        const struct {
            char letter;
            RegHandle root;
            const char *path;
        } keys[] = {{'D', hkey::CURRENT_USER, kPolicyKey},
                    {'A', hkey::LOCAL_MACHINE, kAudioCdShellKey},
                    {'M', hkey::LOCAL_MACHINE, "Enum\\SCSI\\CDROM\\0"},
                    {'C', hkey::LOCAL_MACHINE, kCdromServiceKey}};
        for (const auto &key : keys)
            if (row.deny.find(key.letter) != std::string::npos) {
                EXPECT_TRUE(fixture->DenyWrite(key.root, key.path)) << key.path;
            }
        RegTree start = fixture->Snapshot();
        settings = std::make_unique<Settings>(fixture->registry(), form);
        form.settings = settings.get();
        settings->ReadValuesFromRegistry();
        ExpectNoOpenKeys();
        return start;
    }
    void Click(const Row &row) {
        for (char c : row.clicks)
            c == 'S' ? settings->SetDefaultValues() : form.UserClick(c - '0');
    }
    std::string Boxes() const {
        std::string boxes;
        for (int i = 0; i < kCheckCount; ++i)
            boxes += form.enabled[i] ? static_cast<char>('0' + form.values[i]) : '_';
        return boxes;
    }
    void ExpectNoOpenKeys() {
        if (fixture->OpenHandles() >= 0) {
            EXPECT_EQ(0, fixture->OpenHandles()) << "keys left open";
        }
    }

    std::unique_ptr<RegistryFixture> fixture;
    ModelForm form;
    std::unique_ptr<Settings> settings;
};

TEST_F(EngineTest, EachRowShowsWhatItShouldAndOnlyOkWritesExactlyTheThreeValues) {
    for (const Row &row : Rows()) {
        SCOPED_TRACE(row.what);
        // "&Abbrechen": the read and the clicks write nothing.
        RegTree start = Start(row);
        EXPECT_EQ(row.boxes, Boxes());
        EXPECT_EQ(row.label, form.label);
        Click(row);
        EXPECT_EQ(Listing(start), fixture->Store());

        start = Start(row);
        Click(row);
        const SaveReport report = settings->SaveValues();
        ExpectNoOpenKeys();
        EXPECT_EQ(row.report, std::string(report.driveTypesFailed ? "D" : "") +
                                  (report.audioCdFailed ? "A" : "") +
                                  (report.mediaChangeFailed ? "M" : "") +
                                  (report.machinePolicyDecides ? "P" : ""));
        ImportRegedit4(start, row.written);
        EXPECT_EQ(Listing(start), fixture->Store());
    }
}

} // namespace
} // namespace quenzel
