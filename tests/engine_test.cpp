// The settings engine on one table of starting registries, natively on the in-memory registry and
// under Wine on advapi32 with the same expected stores: where the two differ, one run fails.
#include "registry_fixture.h"

#include "../settings/settings.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace quenzel {
namespace {

const std::string kNoDevice = "(Kein Ger\xE4t gefunden)";
const std::string kAll = "<all drives>";

// The window as the engine sees it: a changing assignment raises the click, nested.
struct ModelForm final : FormView {
    int Value(int index) override { return values.at(index); }
    void SetValue(int index, int value) override {
        if (std::exchange(values.at(index), value) != value)
            settings->Check1_Click(static_cast<std::int16_t>(index));
    }
    void SetLabel1Caption(const std::string &ansiText) override { label = ansiText; }
    void ShowAllDrivesNote() override { label = kAll; }
    void SetCheckEnabled(int index, bool enabled) override { disabled.at(index) = !enabled; }
    std::string Shown() const { // "0" or "1" for each box, "_" for a disabled one; Label1
        std::string shown;
        for (int i = 0; i < kCheckCount; ++i)
            shown += disabled.at(i) ? '_' : static_cast<char>('0' + values.at(i));
        return shown + " " + label;
    }
    Settings *settings = nullptr;
    std::array<int, kCheckCount> values{};
    std::array<bool, kCheckCount> disabled{};
    std::string label = kNoDevice;
};

// Any registry, with a count of the keys it has open.
struct CountingRegistry final : Registry {
    using U = std::uint32_t;
    using B = unsigned char;
    explicit CountingRegistry(Registry &inner) : r(inner) {}
    RegResult RegOpenKeyExA(RegHandle k, const char *n, U o, U a, RegHandle *h) override {
        return Count(1, r.RegOpenKeyExA(k, n, o, a, h));
    }
    RegResult RegQueryValueExA(RegHandle k, const char *n, U *t, B *d, U *s) override {
        return r.RegQueryValueExA(k, n, t, d, s);
    }
    RegResult RegSetValueExA(RegHandle k, const char *n, U t, const B *d, U s) override {
        return r.RegSetValueExA(k, n, t, d, s);
    }
    RegResult RegEnumKeyA(RegHandle k, U i, char *n, U s) override {
        return r.RegEnumKeyA(k, i, n, s);
    }
    RegResult RegCloseKey(RegHandle k) override { return Count(-1, r.RegCloseKey(k)); }
    RegResult Count(int step, RegResult rc) { return open += rc == error::SUCCESS ? step : 0, rc; }
    Registry &r;
    int open = 0;
};

struct Row {
    const char *what; // the test's name: what the row shows
    std::string base;
    std::string change;         // REGEDIT4 lines over the base (;deny: the key refuses writing)
    std::string clicks;         // box indices clicked in turn; S is "&Standard"
    std::string shown;          // after the read: Check1(0..7), _ a disabled box; Label1
    std::string written;        // what "&OK" writes, as REGEDIT4 lines over the store at OK
    std::string report;         // W mask written; D, A, M not saved; P a machine policy decides
    std::string meanwhile = ""; // REGEDIT4 lines another program writes between the read and OK
    friend void PrintTo(const Row &row, std::ostream *out) { *out << row.what; }
};

// clang-format off
const std::string kSpelt = kMask + "\"95\"\n;deny\n" + kDevice + "\"AutoInsertNotification\"=hex:02\n;deny\n";
const Row kRows[] = {
    {"StandardKeepsTheOtherBitsAndBytesAndLeavesAktiv", kWin95, kMask + "hex:ff,01,02,03\n" + kVerb + "\"\"\n", "1S", "01000000 CD-ROM",
     kMask + "hex:97,01,02,03\n" + kVerb + "\"play\"\n" + kDevice + "\"AutoInsertNotification\"=hex:00\n", "W"},
    {"SpellingsLeftAloneWhereTheKeysRefuseWriting", kWin95, kSpelt + kVerb + "\"PLAY\"\n;deny\n", "", "11100010 CD-ROM", "", ""},
    {"HardwareKeyOfADeviceWithoutTheByte", kWin95, kEntry + "\"MOUSE\\\\0\"\n[HKEY_LOCAL_MACHINE\\Enum\\MOUSE\\0]\n\"DeviceDesc\"=\"Maus\"\n", "1", "1_010111 " + kNoDevice, "", ""},
    {"EntryNameOf255Characters", kWin95, "[HKEY_DYN_DATA\\Config Manager\\Enum\\" + std::string(255, '0') +
     "]\n\"HardWareKey\"=\"LONG\"\n[HKEY_LOCAL_MACHINE\\Enum\\LONG]\n\"DeviceDesc\"=\"lang\"\n\"AutoInsertNotification\"=hex:01\n", "", "11010111 lang", "", ""},
    {"AVerbThatBeginsWithPlayIsNotPlay", kWin95, kVerb + "\"Player\"\n", "", "01010111 CD-ROM", "", ""},
    {"ADescriptionEndsAtItsFirstNul", kWin95, kDevice + "\"DeviceDesc\"=hex(1):43,44,00,52,4f,4d,00\n", "", "11010111 CD", "", ""},
    {"AnEntryWhoseByteIsLongerIsSkipped", kWin95, "[HKEY_DYN_DATA\\Config Manager\\Enum\\0]\n\"HardWareKey\"=\"ZIP\"\n"
     "[HKEY_LOCAL_MACHINE\\Enum\\ZIP]\n\"DeviceDesc\"=\"Zip\"\n\"AutoInsertNotification\"=hex:01,00\n", "1", "11010111 CD-ROM",
     kDevice + "\"AutoInsertNotification\"=hex:00\n", ""},
    {"DescriptionOf256Characters", kWin95, kDevice + "\"DeviceDesc\"=\"" + std::string(256, 'D') + "\"\n", "", "11010111 " + std::string(256, ' '), "", ""},
    {"NTAutoRun0SwitchedOn", kNt, kCdrom + "\"AutoRun\"=dword:00000000\n", "1", "10010111 " + kAll, kCdrom + "\"AutoRun\"=dword:00000001\n", ""},
    {"NTTheMaskSavedEqualsTheMachineMaskNoNote", kNt, kMachine + "dword:00000091\n", "2", "11010111 " + kAll, kMask + "hex:91,00,00,00\n", "W"},
    {"NTAutoRun2IsOnNoDriveBoxChangedNoNote", kNt, kMachine + "dword:000000ff\n" + kCdrom + "\"AutoRun\"=dword:00000002\n", "0", "11010111 " + kAll, kVerb + "\"\"\n", ""},
    {"NTAMachineKeyWithoutTheMaskNoNote", kNt, kMachine + "-\n", "2", "11010111 " + kAll, kMask + "hex:91,00,00,00\n", "W"},
    {"NTAMachineMaskOf5BytesTheNote", kNt, kMachine + "hex:91,00,00,00,00\n", "2", "11010111 " + kAll, kMask + "hex:91,00,00,00\n", "WP"},
    {"Windows95HasNoMachineMaskNoNote", kWin95, kMachine + "dword:000000ff\n", "2", "11010111 CD-ROM", kMask + "hex:91,00,00,00\n", "W"},
    {"WhatAnotherProgramStoredMeanwhileStays", kWin95, "", "2", "11010111 CD-ROM", kMask + "dword:00000199\n", "W", kMask + "dword:0000019d\n" + kVerb + "\"\"\n"},
    {"AMaskGoneMeanwhileCountsAsMissing", kWin95, "", "2", "11010111 CD-ROM", kMask + "hex:00,00,00,00\n", "W", kMask + "-\n"},
    {"AMaskAsChosenMeanwhileIsNotWrittenAgain", kWin95, kMask + "hex:95,00,00,00\n;deny\n", "2", "11010111 CD-ROM", "", "", kMask + "hex:91,00,00,00\n"},
    {"TheChosenBytesOfAnotherTypeMeanwhileAreWritten", kWin95, "", "2", "11010111 CD-ROM", kMask + "hex:91,00,00,00\n", "W", kMask + "hex(1):91,00,00,00\n"},
};
// clang-format on

class EngineTest : public ::testing::TestWithParam<Row> {};

TEST_P(EngineTest, ReadShowsAndOkWritesOnlyWhatChanged) {
    const Row &row = GetParam();
    const auto fixture = MakeRegistryFixture();
    fixture->Load(row.base + row.change);
    CountingRegistry registry(fixture->registry());
    ModelForm form;
    Settings settings(registry, form);
    form.settings = &settings;
    settings.ReadValuesFromRegistry();
    EXPECT_EQ(row.shown, form.Shown());
    if (!row.meanwhile.empty()) // the read wrote nothing: the store as the other program left it
        fixture->Load(row.base + row.change + row.meanwhile);
    for (char c : row.clicks)
        c == 'S' ? settings.SetDefaultValues()
                 : form.SetValue(c - '0', form.values.at(c - '0') ^ 1);
    RegTree store;
    ImportRegedit4(store, row.base + row.change + row.meanwhile);
    EXPECT_EQ(Listing(store), fixture->Store()) << "written before OK";

    const SaveReport report = settings.SaveValues();
    EXPECT_EQ(0, registry.open) << "keys left open";
    EXPECT_EQ(row.report,
              std::string(report.driveTypesWritten ? "W" : "") +
                  (report.driveTypesFailed ? "D" : "") + (report.audioCdFailed ? "A" : "") +
                  (report.mediaChangeFailed ? "M" : "") + (report.machinePolicyDecides ? "P" : ""));
    ImportRegedit4(store, row.written);
    EXPECT_EQ(Listing(store), fixture->Store());
}

INSTANTIATE_TEST_SUITE_P(Rows, EngineTest, ::testing::ValuesIn(kRows),
                         [](const auto &row) { return std::string(row.param.what); });

} // namespace
} // namespace quenzel
