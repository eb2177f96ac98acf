// The settings engine on one table of starting registries, natively on the in-memory registry and
// under Wine on advapi32 with the same expected stores: where the two differ, one run fails.
#include "registry_fixture.h"

#include "../settings/settings.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace quenzel {
namespace {

const std::string kOn = "\"AutoInsertNotification\"=hex:01\n";
const std::string kOff = "\"AutoInsertNotification\"=hex:00\n";
const std::string kNoDevice = "(Kein Ger\xE4t gefunden)";
const std::string kAll = "<all drives>";

// The NT family has no device list but the Cdrom driver.
const std::string kNt = "REGEDIT4\n" + kMask + "hex:95,00,00,00\n" + kVerb + "\"play\"\n" + kCdrom +
                        "\"Start\"=dword:00000001\n";
const std::string kEmpty = "REGEDIT4\n";

std::string Quoted(std::size_t length, char c) {
    return "\"" + std::string(length, c) + "\"\n";
}

// The window as the engine sees it: a changing assignment raises the click, nested.
class ModelForm final : public FormView {
  public:
    int Value(int index) override { return values.at(index); }
    void SetValue(int index, int value) override {
        if (std::exchange(values.at(index), value) != value)
            settings->Check1_Click(static_cast<std::int16_t>(index));
    }
    void SetLabel1Caption(const std::string &ansiText) override { label = ansiText; }
    void ShowAllDrivesNote() override { label = kAll; }
    void SetCheckEnabled(int index, bool enabled) override {
        boxes.at(index) = enabled ? '?' : '_';
    }
    void UserClick(int index) { SetValue(index, values.at(index) ^ 1); }
    std::string Boxes() const { // "0" or "1" for each box, "_" for a disabled one
        std::string shown = boxes;
        for (int i = 0; i < kCheckCount; ++i)
            shown[i] = shown[i] == '_' ? '_' : static_cast<char>('0' + values.at(i));
        return shown;
    }

    Settings *settings = nullptr;
    std::array<int, kCheckCount> values{};
    std::string boxes = std::string(kCheckCount, '?'), label = kNoDevice;
};

// Any registry, with a count of the keys it has open.
class CountingRegistry final : public Registry {
  public:
    explicit CountingRegistry(Registry &inner) : r_(inner) {}
    RegResult RegOpenKeyExA(RegHandle k, const char *n, std::uint32_t o, std::uint32_t a,
                            RegHandle *h) override {
        const RegResult rc = r_.RegOpenKeyExA(k, n, o, a, h);
        return open += rc == error::SUCCESS, rc;
    }
    RegResult RegQueryValueExA(RegHandle k, const char *n, std::uint32_t *t, unsigned char *d,
                               std::uint32_t *s) override {
        return r_.RegQueryValueExA(k, n, t, d, s);
    }
    RegResult RegSetValueExA(RegHandle k, const char *n, std::uint32_t t, const unsigned char *d,
                             std::uint32_t s) override {
        return r_.RegSetValueExA(k, n, t, d, s);
    }
    RegResult RegEnumKeyA(RegHandle k, std::uint32_t i, char *n, std::uint32_t s) override {
        return r_.RegEnumKeyA(k, i, n, s);
    }
    RegResult RegCloseKey(RegHandle k) override {
        const RegResult rc = r_.RegCloseKey(k);
        return open -= rc == error::SUCCESS, rc;
    }
    int open = 0;

  private:
    Registry &r_;
};

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
    const std::string &none = kNoDevice;
    return {
        {"Windows 95 as installed", kWin95, "", "", "", "11010111", "CD-ROM", "", ""},
        {"every box but Programm-CD clicked", kWin95, "", "", "0123456", "11010111", "CD-ROM",
         kMask + "hex:e9,00,00,00\n" + kVerb + "\"\"\n" + kDevice + kOff, ""},
        {"Programm-CD takes CD-ROM along", kWin95, "", "", "7", "11010111", "CD-ROM", kMask + "hex:b5,00,00,00\n", ""},
        {"Standard keeps the other bits and bytes and leaves aktiv", kWin95,
         kMask + "hex:ff,01,02,03\n" + kVerb + "\"\"\n", "", "1S", "01000000", "CD-ROM",
         kMask + "hex:97,01,02,03\n" + kVerb + "\"play\"\n" + kDevice + kOff, ""},
        {"mask of no bytes", kWin95, kMask + "hex:\n", "", "", "11111111", "CD-ROM", kMask + "hex:00,00,00,00\n", ""},
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
        {"verb without its NUL", kWin95, kVerb + "hex(1):70,6c,61,79\n", "", "", "11010111", "CD-ROM", kVerb + "\"play\"\n", ""},
        {"verb as REG_EXPAND_SZ", kWin95, kVerb + "hex(2):70,6c,61,79,00\n", "", "", "11010111", "CD-ROM", kVerb + "\"play\"\n", ""},
        {"verb in capitals", kWin95, kVerb + "\"PLAY\"\n", "", "", "11010111", "CD-ROM", kVerb + "\"play\"\n", ""},
        {"verb with a trailing space", kWin95, kVerb + "\"play \"\n", "", "", "01010111", "CD-ROM", kVerb + "\"\"\n", ""},
        {"empty hardware key", kWin95, kEntry + "\"\"\n", "", "", "1_010111", none, "", ""},
        {"hardware key of a device without the byte", kWin95,
         kEntry + "\"MOUSE\\\\0\"\n[HKEY_LOCAL_MACHINE\\Enum\\MOUSE\\0]\n\"DeviceDesc\"=\"Maus\"\n", "", "1", "1_010111", none, "", ""},
        {"hardware key with a trailing backslash", kWin95, kEntry + "\"SCSI\\\\CDROM\\\\0\\\\\"\n", "", "", "11010111", "CD-ROM", "", ""},
        {"hardware key of 255 characters", kWin95, kEntry + Quoted(255, 'K') + "[HKEY_LOCAL_MACHINE\\Enum\\" +
         std::string(255, 'K') + "]\n\"DeviceDesc\"=\"lang\"\n" + kOff, "", "", "10010111", "lang", "", ""},
        {"hardware key of 256 characters", kWin95, kEntry + Quoted(256, 'K'), "", "", "1_010111", none, "", ""},
        {"entry name of 255 characters", kWin95, "[HKEY_DYN_DATA\\Config Manager\\Enum\\" + std::string(255, '0') +
         "]\n\"HardWareKey\"=\"LONG\"\n[HKEY_LOCAL_MACHINE\\Enum\\LONG]\n\"DeviceDesc\"=\"lang\"\n" + kOn, "", "", "11010111", "lang", "", ""},
        {"description with umlauts", kWin95, kDevice + "\"DeviceDesc\"=\"Ger\xE4t f\xFCr CDs \xDF\"\n", "", "", "11010111", "Ger\xE4t f\xFCr CDs \xDF", "", ""},
        {"description of 255 characters", kWin95, kDevice + "\"DeviceDesc\"=" + Quoted(255, 'D'), "", "", "11010111", std::string(255, 'D'), "", ""},
        {"description of 256 characters", kWin95, kDevice + "\"DeviceDesc\"=" + Quoted(256, 'D'), "", "", "11010111", std::string(256, ' '), "", ""},
        {"notification value of no bytes", kWin95, kDevice + "\"AutoInsertNotification\"=hex:\n", "", "", "10010111", "CD-ROM", kDevice + kOff, ""},
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
        {"NT: AutoRun 0 switched on", kNt, kCdrom + "\"AutoRun\"=dword:00000000\n", "", "1", "10010111", kAll, kCdrom + "\"AutoRun\"=dword:00000001\n", ""},
        {"NT: AutoRun 2 is on and saved as 1", kNt, kCdrom + "\"AutoRun\"=dword:00000002\n", "", "", "11010111", kAll, kCdrom + "\"AutoRun\"=dword:00000001\n", ""},
        {"NT: AutoRun of 5 bytes left alone", kNt, kCdrom + "\"AutoRun\"=hex:00,00,00,00,00\n", "", "", "11010111", kAll, "", ""},
        {"NT: a missing AutoRun stays missing", kNt, "", "", "", "11010111", kAll, "", ""},
        {"NT: a missing AutoRun switched off", kNt, "", "", "1", "11010111", kAll, kCdrom + "\"AutoRun\"=dword:00000000\n", ""},
        {"NT: neither device list nor Cdrom driver", kEmpty, kMask + "hex:95\n" + kVerb + "\"play\"\n", "", "", "1_010111", none, kMask + "hex:95,00,00,00\n", ""},
        {"a machine-wide mask that differs", kWin95, kMachine + "dword:00000091\n", "", "", "11010111", "CD-ROM", "", "P"},
        {"clicks that make the mask the machine's", kWin95, kMachine + "dword:00000091\n", "", "2", "11010111", "CD-ROM", kMask + "hex:91,00,00,00\n", ""},
        {"clicks that make the mask differ from the machine's", kWin95, kMachine + "dword:00000095\n", "", "2", "11010111", "CD-ROM", kMask + "hex:91,00,00,00\n", "P"},
        {"a machine-wide mask of 5 bytes", kWin95, kMachine + "hex:95,00,00,00,00\n", "", "", "11010111", "CD-ROM", "", "P"},
        {"an empty registry: keys are not created", kEmpty, "", "", "02", "0_111111", none, "", "DA"},
        {"keys that refuse writing", kWin95, "", "AM", "012", "11010111", "CD-ROM", kMask + "hex:91,00,00,00\n", "AM"},
        {"keys that refuse writing, left alone", kWin95, "", "DAM", "0022", "11010111", "CD-ROM", "", ""},
        {"NT: the Cdrom key refuses writing", kNt, "", "C", "1", "11010111", kAll, "", "M"},
        {"NT: the Cdrom key refuses writing, left alone", kNt, kCdrom + "\"AutoRun\"=dword:00000000\n", "C", "", "10010111", kAll, "", ""},
    };
}
// clang-format on

TEST(EngineTest, EachRowShowsWhatItShouldAndOnlyOkWritesWhatChanges) {
    const struct {
        char letter;
        RegHandle root;
        const char *path;
    } keys[] = {{'D', hkey::CURRENT_USER, kPolicyKey},
                {'A', hkey::LOCAL_MACHINE, kAudioCdShellKey},
                {'M', hkey::LOCAL_MACHINE, "Enum\\SCSI\\CDROM\\0"},
                {'C', hkey::LOCAL_MACHINE, kCdromServiceKey}};
    for (const Row &row : Rows()) {
        SCOPED_TRACE(row.what);
        const auto fixture = MakeRegistryFixture();
        fixture->Load(row.base + row.change);
        for (const auto &key : keys)
            EXPECT_TRUE(row.deny.find(key.letter) == std::string::npos ||
                        fixture->DenyWrite(key.root, key.path))
                << key.path;
        RegTree store = fixture->Snapshot();
        CountingRegistry registry(fixture->registry());
        ModelForm form;
        Settings settings(registry, form);
        form.settings = &settings;
        settings.ReadValuesFromRegistry();
        EXPECT_EQ(row.boxes, form.Boxes());
        EXPECT_EQ(row.label, form.label);
        for (char c : row.clicks)
            c == 'S' ? settings.SetDefaultValues() : form.UserClick(c - '0');
        EXPECT_EQ(Listing(store), fixture->Store()) << "written before OK";

        const SaveReport report = settings.SaveValues();
        EXPECT_EQ(0, registry.open) << "keys left open";
        EXPECT_EQ(row.report, std::string(report.driveTypesFailed ? "D" : "") +
                                  (report.audioCdFailed ? "A" : "") +
                                  (report.mediaChangeFailed ? "M" : "") +
                                  (report.machinePolicyDecides ? "P" : ""));
        ImportRegedit4(store, row.written);
        EXPECT_EQ(Listing(store), fixture->Store());
    }
}

} // namespace
} // namespace quenzel
