// The settings the window edits: read at start, mapped to the check boxes, written on OK.
#include "settings.h"

#include "../registry/key.h"

#include <algorithm>
#include <climits>

namespace quenzel {

const char kPolicyKey[] = "software\\microsoft\\windows\\currentversion\\policies\\explorer";
const char kMachinePolicyKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kAudioCdShellKey[] = "SOFTWARE\\Classes\\AudioCD\\shell";
const char kDeviceListKey[] = "Config Manager\\Enum";
const char kCdromServiceKey[] = "SYSTEM\\CurrentControlSet\\Services\\Cdrom";

namespace {

const std::string kBlankBuffer(256, ' ');

std::string LowerAscii(std::string text) {
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string DwordBytes(std::uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
            static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}

} // namespace

void Settings::ReadValuesFromRegistry() {
    ReadDriveTypes();
    ReadAudioCdVerb();
    SearchCdromDevice();
}

// A set bit in byte 0 switches AutoRun off for that drive type.
void Settings::ReadDriveTypes() {
    std::uint32_t type = 0;
    RegResult result;
    {
        Key key(registry_, hkey::CURRENT_USER, kPolicyKey, key::QUERY_VALUE);
        result = key.Query("NoDriveTypeAutoRun", reg::BINARY, DriveTypeData, &type);
    }
    driveTypesAreDword_ = result == error::SUCCESS && type == reg::DWORD;
    const auto m = static_cast<unsigned char>(DriveTypeData[0]);
    for (int i = kRemovable; i <= kRamDisk; ++i)
        form_.SetValue(i, (m & (1u << i)) == 0 ? 1 : 0);
}

void Settings::ReadAudioCdVerb() {
    AudioCdVerb = kBlankBuffer;
    {
        Key key(registry_, hkey::LOCAL_MACHINE, kAudioCdShellKey, key::QUERY_VALUE);
        key.Query("", reg::SZ, AudioCdVerb);
    }
    form_.SetValue(kAudioCd, LowerAscii(CutAtNull(AudioCdVerb)) == "play" ? 1 : 0);
}

// The first listed device whose "AutoInsertNotification" can be read is the CD-ROM drive.
void Settings::SearchCdromDevice() {
    Key list(registry_, hkey::DYN_DATA, kDeviceListKey, key::ENUMERATE_SUB_KEYS);
    if (!list.IsOpen()) {
        ReadCdromService();
        if (mediaChangeSource_ == MediaChangeSource::None)
            form_.SetCheckEnabled(kMediaChange, false);
        return;
    }
    // One buffer each, reused from entry to entry: the list can be long.
    std::string name, entryPath, devicePath;
    for (std::int32_t index = 0;; ++index) {
        name = kBlankBuffer;
        if (registry_.RegEnumKeyA(list.Handle(), static_cast<std::uint32_t>(index), &name[0],
                                  static_cast<std::uint32_t>(name.size())) != error::SUCCESS)
            break;
        name.resize(std::min(name.find('\0'), name.size()));

        CdHardwareKey = kBlankBuffer;
        entryPath.assign(kDeviceListKey).append(1, '\\').append(name);
        {
            Key entry(registry_, hkey::DYN_DATA, entryPath, key::QUERY_VALUE);
            entry.Query("HardWareKey", reg::SZ, CdHardwareKey);
        }

        // The path ends at the hardware key's NUL; the spaces behind it take no part.
        devicePath.assign("Enum\\").append(CdHardwareKey, 0, CdHardwareKey.find('\0'));
        Key device(registry_, hkey::LOCAL_MACHINE, devicePath, key::QUERY_VALUE);
        if (device.Query("AutoInsertNotification", reg::BINARY, InsertNotifyData) ==
            error::SUCCESS) {
            std::string description = kBlankBuffer;
            device.Query("DeviceDesc", reg::SZ, description);
            form_.SetLabel1Caption(CutAtNull(description));
            device.Close();
            form_.SetValue(kMediaChange, InsertNotifyData[0] != 0 ? 1 : 0);
            mediaChangeSource_ = MediaChangeSource::Device;
            return;
        }
        if (index == INT32_MAX)
            break;
    }
    form_.SetCheckEnabled(kMediaChange, false);
}

// Without a device list the Cdrom driver's own switch stands for every CD-ROM drive; a missing
// value means the driver's default, on.
void Settings::ReadCdromService() {
    Key service(registry_, hkey::LOCAL_MACHINE, kCdromServiceKey, key::QUERY_VALUE);
    if (!service.IsOpen())
        return;
    std::string value(4, '\0');
    const RegResult result = service.Query("AutoRun", reg::DWORD, value);
    cdromAutoRunExisted_ = result != error::FILE_NOT_FOUND;
    const bool off = result == error::SUCCESS && value == std::string(4, '\0');
    cdromAutoRunRead_ = off ? 0 : 1;
    mediaChangeSource_ = MediaChangeSource::CdromService;
    form_.ShowAllDrivesNote();
    form_.SetValue(kMediaChange, cdromAutoRunRead_);
}

SaveReport Settings::SaveValues() {
    SaveReport report;

    auto m = static_cast<unsigned char>(DriveTypeData[0]);
    for (int i = kRemovable; i <= kRamDisk; ++i) {
        if (form_.Value(i) == 0)
            m = static_cast<unsigned char>(m | (1u << i));
        else
            m = static_cast<unsigned char>(m & ~(1u << i));
    }
    DriveTypeData[0] = static_cast<char>(m);
    {
        Key key(registry_, hkey::CURRENT_USER, kPolicyKey, key::SET_VALUE);
        report.driveTypesFailed =
            !key.IsOpen() ||
            key.Set("NoDriveTypeAutoRun", driveTypesAreDword_ ? reg::DWORD : reg::BINARY,
                    DriveTypeData) != error::SUCCESS;
    }

    AudioCdVerb = form_.Value(kAudioCd) != 0 ? "play" : "";
    {
        Key key(registry_, hkey::LOCAL_MACHINE, kAudioCdShellKey, key::SET_VALUE);
        report.audioCdFailed =
            !key.IsOpen() || key.Set("", reg::SZ, AudioCdVerb + '\0') != error::SUCCESS;
    }

    report.mediaChangeFailed = !SaveMediaChange();
    report.machinePolicyDecides = MachinePolicyDiffers();
    return report;
}

// Returns false when the setting should have been written and could not be.
bool Settings::SaveMediaChange() {
    const int value = form_.Value(kMediaChange);
    switch (mediaChangeSource_) {
    case MediaChangeSource::None:
        return true; // no device was found: there is nothing of ours to write under "Enum"
    case MediaChangeSource::Device: {
        InsertNotifyData[0] = static_cast<char>(value);
        Key key(registry_, hkey::LOCAL_MACHINE, "Enum\\" + CutAtNull(CdHardwareKey),
                key::SET_VALUE);
        return key.IsOpen() &&
               key.Set("AutoInsertNotification", reg::BINARY, InsertNotifyData) == error::SUCCESS;
    }
    case MediaChangeSource::CdromService: {
        const int on = value != 0 ? 1 : 0;
        if (on == cdromAutoRunRead_ && !cdromAutoRunExisted_)
            return true; // left alone: a missing value stays missing
        Key key(registry_, hkey::LOCAL_MACHINE, kCdromServiceKey, key::SET_VALUE);
        return key.IsOpen() &&
               key.Set("AutoRun", reg::DWORD, DwordBytes(static_cast<std::uint32_t>(on))) ==
                   error::SUCCESS;
    }
    }
    return true;
}

// The NT family lets a machine-wide mask decide before the user's.
bool Settings::MachinePolicyDiffers() {
    Key key(registry_, hkey::LOCAL_MACHINE, kMachinePolicyKey, key::QUERY_VALUE);
    if (!key.IsOpen())
        return false;
    std::string machine(4, '\0');
    const RegResult result = key.Query("NoDriveTypeAutoRun", reg::DWORD, machine);
    if (result == error::MORE_DATA)
        return true;
    return result == error::SUCCESS && machine != DriveTypeData;
}

void Settings::SetDefaultValues() {
    for (int i = kRemovable; i <= kRamDisk; ++i)
        form_.SetValue(i, (i == kRemovable || i == kRemote) ? 0 : 1);
    form_.SetValue(kAudioCd, 1);
}

// "&CD-ROM" and "&Programm-CD" are one setting shown twice.
void Settings::Check1_Click(std::int16_t index) {
    if (index == kCdRom)
        form_.SetValue(kProgramCd, form_.Value(kCdRom));
    else if (index == kProgramCd)
        form_.SetValue(kCdRom, form_.Value(kProgramCd));
}

} // namespace quenzel
