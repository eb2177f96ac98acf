// What must hold between a registry, the user's clicks and what the engine leaves behind; the
// property test and the fuzz target check the same relations on generated scenarios.
#include "relations.h"

#include "model_form.h"
#include "regedit4.h"

#include "../registry/memory_registry.h"

namespace quenzel {

namespace {

const std::string kPolicy = "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                            "Policies\\Explorer]\n";
const std::string kMachine = "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                             "Policies\\Explorer]\n";
const std::string kAudio = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AudioCD\\shell]\n";
const std::string kCdrom = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Cdrom]\n";

// Each list starts with "nothing there".
const std::vector<std::string> kMasks = {
    "",       "hex:",  "hex:95,00,00,00", "hex:ff,01,02,03", "dword:00000091", "hex:95,00,00,00,07",
    "\"95\"", "hex:7c"};
const std::vector<std::string> kVerbs = {"",     "\"play\"",  "\"PLAY\"",
                                         "\"\"", "\"play \"", "hex(1):70,6c,61,79,00,21,00"};
const std::vector<std::string> kBytes = {"", "hex:00", "hex:01", "hex:02", "hex:01,00,00,00"};
const std::vector<std::string> kAutoRuns = {"", "dword:00000000", "dword:00000001",
                                            "dword:00000002"};
const std::vector<std::string> kMachineMasks = {"", "dword:00000091", "hex:95,00,00,00",
                                                "hex:95,00,00,00,00"};

std::string Pick(const std::vector<std::string> &from, const std::string &line,
                 const std::function<unsigned(unsigned)> &choose) {
    const std::string &value = from[choose(static_cast<unsigned>(from.size()))];
    return value.empty() ? "" : line + value + "\n";
}

const RegValue *Find(RegTree &tree, RegHandle root, const char *path, const char *name) {
    RegKey *key = tree.Find(root, path);
    const auto it = key ? key->values.find(name) : decltype(key->values)::iterator{};
    return key && it != key->values.end() ? &it->second : nullptr;
}

// Removes the values OK may write: the mask, the verb, AutoRun, and each notification byte
// that was there as one byte before.
void Strip(RegTree &tree, RegTree &before) {
    tree.Create(hkey::CURRENT_USER, kPolicyKey).values.erase("NoDriveTypeAutoRun");
    tree.Create(hkey::LOCAL_MACHINE, kAudioCdShellKey).values.erase("");
    tree.Create(hkey::LOCAL_MACHINE, kCdromServiceKey).values.erase("AutoRun");
    for (int i = 0; i < 4; ++i) {
        const std::string path = "Enum\\DEV\\" + std::to_string(i);
        const RegValue *was =
            Find(before, hkey::LOCAL_MACHINE, path.c_str(), "AutoInsertNotification");
        if (was && was->data.size() == 1)
            tree.Create(hkey::LOCAL_MACHINE, path).values.erase("AutoInsertNotification");
    }
}

} // namespace

Scenario MakeScenario(const std::function<unsigned(unsigned)> &choose) {
    Scenario s;
    s.regedit4 = "REGEDIT4\n";
    if (choose(4))
        s.regedit4 += kPolicy + Pick(kMasks, "\"NoDriveTypeAutoRun\"=", choose);
    if (choose(4))
        s.regedit4 += kAudio + Pick(kVerbs, "@=", choose);
    if (choose(3)) { // the device list of Windows 95
        const unsigned entries = choose(5);
        for (unsigned i = 0; i < entries; ++i) {
            s.regedit4 += "[HKEY_DYN_DATA\\Config Manager\\Enum\\E" + std::to_string(i) + "]\n";
            const unsigned device = choose(6); // 4: no hardware key, 5: an empty one
            s.regedit4 += device == 5 ? "\"HardWareKey\"=\"\"\n"
                          : device < 4
                              ? "\"HardWareKey\"=\"DEV\\\\" + std::to_string(device) + "\"\n"
                              : "";
        }
        for (int i = 0; i < 4; ++i)
            s.regedit4 += "[HKEY_LOCAL_MACHINE\\Enum\\DEV\\" + std::to_string(i) + "]\n" +
                          Pick(kBytes, "\"AutoInsertNotification\"=", choose);
    } else if (choose(3)) {
        s.regedit4 += kCdrom + Pick(kAutoRuns, "\"AutoRun\"=", choose);
    }
    s.regedit4 +=
        choose(4) ? "" : kMachine + Pick(kMachineMasks, "\"NoDriveTypeAutoRun\"=", choose);
    for (char key : std::string("DAMC"))
        if (choose(5) == 0)
            s.deny += key;
    for (unsigned n = choose(7); n > 0; --n)
        s.clicks += "01234567S"[choose(9)];
    s.ok = choose(2);
    return s;
}

std::string CheckRelations(const Scenario &scenario) {
    std::string failed;
    const auto expect = [&failed](bool holds, const char *what) {
        if (!holds)
            failed += std::string(what) + "\n";
    };
    MemoryRegistry registry;
    ImportRegedit4(registry.Tree(), scenario.regedit4);
    bool denied[4] = {};
    const char *paths[] = {kPolicyKey, kAudioCdShellKey, "Enum\\DEV", kCdromServiceKey};
    for (int i = 0; i < 4; ++i) {
        RegKey *key =
            registry.Tree().Find(i == 0 ? hkey::CURRENT_USER : hkey::LOCAL_MACHINE, paths[i]);
        denied[i] = key && scenario.deny.find("DAMC"[i]) != std::string::npos;
        if (key && i == 2)
            for (auto &[name, device] : key->subkeys)
                device.denyWrite = denied[i];
        else if (key)
            key->denyWrite = denied[i];
    }
    RegTree before = registry.Tree();

    ModelForm form;
    Settings settings(registry, form);
    form.settings = &settings;
    settings.ReadValuesFromRegistry();
    expect(Listing(registry.Tree()) == Listing(before), "the start-up read wrote");
    expect(registry.OpenHandles() == 0, "the start-up read left keys open");
    const std::string read = settings.DriveTypeData;
    for (char c : scenario.clicks) {
        c == 'S' ? settings.SetDefaultValues() : form.UserClick(c - '0');
        expect(form.values[kCdRom] == form.values[kProgramCd], "Programm-CD differs from CD-ROM");
    }
    if (!scenario.ok) {
        expect(Listing(registry.Tree()) == Listing(before), "Abbrechen wrote");
        return failed;
    }
    const SaveReport report = settings.SaveValues();
    expect(registry.OpenHandles() == 0, "the save left keys open");
    RegTree after = registry.Tree();

    const RegValue *mask = Find(after, hkey::CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun");
    const RegValue *oldMask = Find(before, hkey::CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun");
    const bool policyWritable = before.Find(hkey::CURRENT_USER, kPolicyKey) && !denied[0];
    expect(report.driveTypesFailed == !policyWritable, "the mask's report is wrong");
    if (policyWritable && mask && mask->data.size() == 4) {
        const bool dword = oldMask && oldMask->type == reg::DWORD && oldMask->data.size() <= 4;
        expect(mask->type == (dword ? reg::DWORD : reg::BINARY), "the mask's type changed");
        expect(std::string(mask->data.begin() + 1, mask->data.end()) == read.substr(1),
               "bytes 1 to 3 of the mask are not as read");
        expect((mask->data[0] & 0x83) == (static_cast<unsigned char>(read[0]) & 0x83),
               "bits 0, 1 and 7 of the mask are not as read");
        for (int i = kRemovable; i <= kRamDisk; ++i)
            expect(((mask->data[0] >> i) & 1) == (form.values[i] == 0 ? 1 : 0),
                   "a drive type bit is not the inverse of its box");
    } else {
        expect(!policyWritable, "the mask was not written as 4 bytes");
    }
    const RegValue *verb = Find(after, hkey::LOCAL_MACHINE, kAudioCdShellKey, "");
    const bool audioWritable = before.Find(hkey::LOCAL_MACHINE, kAudioCdShellKey) && !denied[1];
    expect(report.audioCdFailed == !audioWritable, "the verb's report is wrong");
    const std::string play = form.values[kAudioCd] ? std::string("play", 5) : std::string(1, '\0');
    expect(!audioWritable || (verb && verb->type == reg::SZ &&
                              std::string(verb->data.begin(), verb->data.end()) == play),
           "the verb is not \"play\" or empty as the box says");
    expect(!report.mediaChangeFailed || denied[2] || denied[3],
           "the media change switch is reported though nothing refused it");

    Strip(after, before);
    Strip(before, before);
    expect(Listing(after) == Listing(before), "OK changed more than the three values");
    return failed;
}

} // namespace quenzel
