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
    for (int i = 0; i < kCheckCount; ++i)
        boxesAfterRead_[i] = form_.Value(i);
}

// A set bit in byte 0 switches AutoRun off for that drive type.
void Settings::ReadDriveTypes() {
    {
        Key key(registry_, hkey::CURRENT_USER, kPolicyKey, key::QUERY_VALUE);
        key.Query("NoDriveTypeAutoRun", DriveTypeData);
    }
    const auto m = static_cast<unsigned char>(DriveTypeData[0]);
    for (int i = kRemovable; i <= kRamDisk; ++i)
        form_.SetValue(i, (m & (1u << i)) == 0 ? 1 : 0);
}

void Settings::ReadAudioCdVerb() {
    AudioCdVerb = kBlankBuffer;
    {
        Key key(registry_, hkey::LOCAL_MACHINE, kAudioCdShellKey, key::QUERY_VALUE);
        key.Query("", AudioCdVerb);
    }
    form_.SetValue(kAudioCd, LowerAscii(CutAtNull(AudioCdVerb)) == "play" ? 1 : 0);
}

// The first listed device whose "AutoInsertNotification" can be read is the CD-ROM drive.
void Settings::SearchCdromDevice() {
    Key list(registry_, hkey::DYN_DATA, kDeviceListKey, key::ENUMERATE_SUB_KEYS);
    ntFamily_ = !list.IsOpen();
    if (ntFamily_) {
        ReadCdromService();
        if (mediaChangeSource_ == MediaChangeSource::None)
            form_.SetCheckEnabled(kMediaChange, false);
        return;
    }
    // One buffer each, reused from entry to entry: the list can be long.
    std::string name, devicePath;
    for (std::int32_t index = 0;; ++index) {
        name = kBlankBuffer;
        if (registry_.RegEnumKeyA(list.Handle(), static_cast<std::uint32_t>(index), &name[0],
                                  static_cast<std::uint32_t>(name.size())) != error::SUCCESS)
            break;
        name.resize(std::min(name.find('\0'), name.size()));

        // The entry is opened below the list's key: "Config Manager\Enum\" and a name of up to
        // 255 characters would be a path too long for some systems' registry calls.
        CdHardwareKey = kBlankBuffer;
        {
            Key entry(registry_, list.Handle(), name, key::QUERY_VALUE);
            entry.Query("HardWareKey", CdHardwareKey);
        }

        // The path ends at the hardware key's NUL; the spaces behind it take no part.
        devicePath.assign("Enum\\").append(CdHardwareKey, 0, CdHardwareKey.find('\0'));
        Key device(registry_, hkey::LOCAL_MACHINE, devicePath, key::QUERY_VALUE);
        if (device.Query("AutoInsertNotification", InsertNotifyData) == error::SUCCESS) {
            std::string description = kBlankBuffer;
            device.Query("DeviceDesc", description);
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
    const bool read = service.Query("AutoRun", value) == error::SUCCESS;
    mediaChangeSource_ = MediaChangeSource::CdromService;
    form_.ShowAllDrivesNote();
    form_.SetValue(kMediaChange, read && value == std::string(4, '\0') ? 0 : 1);
}

// A setting is written only when its boxes changed since the read; one left alone stays as stored,
// whatever its spelling, and is never warned about.
SaveReport Settings::SaveValues() {
    SaveReport report;
    const bool drivesChanged = BoxesChanged(kRemovable, kRamDisk);
    if (drivesChanged)
        SaveDriveTypes(report);
    if (BoxesChanged(kAudioCd, kAudioCd)) {
        AudioCdVerb = form_.Value(kAudioCd) != 0 ? "play" : "";
        report.audioCdFailed =
            !Write(hkey::LOCAL_MACHINE, kAudioCdShellKey, "", reg::SZ, AudioCdVerb + '\0');
    }
    if (BoxesChanged(kMediaChange, kMediaChange))
        report.mediaChangeFailed = !SaveMediaChange();
    report.machinePolicyDecides = drivesChanged && ntFamily_ && MachinePolicyDiffers();
    return report;
}

// The mask as stored now, read as at start, with only the bits of the changed boxes set anew: what
// another program stored meanwhile stays.
void Settings::SaveDriveTypes(SaveReport &report) {
    DriveTypeData.assign(4, '\0');
    StoredValue now;
    {
        Key key(registry_, hkey::CURRENT_USER, kPolicyKey, key::QUERY_VALUE);
        key.Query("NoDriveTypeAutoRun", DriveTypeData, &now);
    }
    auto m = static_cast<unsigned char>(DriveTypeData[0]);
    for (int i = kRemovable; i <= kRamDisk; ++i) {
        if (!BoxesChanged(i, i))
            continue;
        if (form_.Value(i) == 0)
            m = static_cast<unsigned char>(m | (1u << i));
        else
            m = static_cast<unsigned char>(m & ~(1u << i));
    }
    DriveTypeData[0] = static_cast<char>(m);
    const std::uint32_t type = now.read && now.type == reg::DWORD ? reg::DWORD : reg::BINARY;
    if (now.read && now.type == type && now.bytes == DriveTypeData)
        return; // another program made the same change meanwhile
    report.driveTypesWritten =
        Write(hkey::CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun", type, DriveTypeData);
    report.driveTypesFailed = !report.driveTypesWritten;
}

// Returns false when the setting could not be written.
bool Settings::SaveMediaChange() {
    const int value = form_.Value(kMediaChange);
    switch (mediaChangeSource_) {
    case MediaChangeSource::None:
        return true; // no device was found: there is nothing of ours to write under "Enum"
    case MediaChangeSource::Device:
        InsertNotifyData[0] = static_cast<char>(value);
        return Write(hkey::LOCAL_MACHINE, "Enum\\" + CutAtNull(CdHardwareKey),
                     "AutoInsertNotification", reg::BINARY, InsertNotifyData);
    case MediaChangeSource::CdromService:
        return Write(hkey::LOCAL_MACHINE, kCdromServiceKey, "AutoRun", reg::DWORD,
                     DwordBytes(value != 0 ? 1 : 0));
    }
    return true;
}

bool Settings::BoxesChanged(int first, int last) {
    for (int i = first; i <= last; ++i)
        if ((form_.Value(i) != 0) != (boxesAfterRead_[i] != 0))
            return true;
    return false;
}

bool Settings::Write(RegHandle root, const std::string &path, const char *name, std::uint32_t type,
                     const std::string &bytes) {
    Key key(registry_, root, path, key::SET_VALUE);
    return key.IsOpen() && key.Set(name, type, bytes) == error::SUCCESS;
}

// The NT family lets a machine-wide mask decide before the user's.
bool Settings::MachinePolicyDiffers() {
    Key key(registry_, hkey::LOCAL_MACHINE, kMachinePolicyKey, key::QUERY_VALUE);
    if (!key.IsOpen())
        return false;
    std::string machine(4, '\0');
    const RegResult result = key.Query("NoDriveTypeAutoRun", machine);
    if (result == error::MORE_DATA)
        return true; // longer than 4 bytes: what it decides is unknown, so the note says it may
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
