// The settings the window edits: read at start, mapped to the check boxes, written on OK.
#pragma once

#include "../registry/key.h"
#include "../registry/registry.h"
#include "form_view.h"

#include <array>
#include <cstdint>
#include <string>

namespace quenzel {

// Indices of Check1.
enum : int {
    kAudioCd = 0,
    kMediaChange = 1,
    kRemovable = 2,
    kFixed = 3,
    kRemote = 4,
    kCdRom = 5,
    kRamDisk = 6,
    kProgramCd = 7,
    kCheckCount = 8
};

extern const char kPolicyKey[];        // the user's Explorer policies
extern const char kMachinePolicyKey[]; // the same policies for the whole machine
extern const char kAudioCdShellKey[];
extern const char kDeviceListKey[];
extern const char kCdromServiceKey[];

// Which settings SaveValues could not write, and what else the user should hear of.
struct SaveReport {
    bool driveTypesFailed = false;
    bool audioCdFailed = false;
    bool mediaChangeFailed = false;
    bool machinePolicyDecides = false; // a machine-wide mask differs from the one saved
    bool driveTypesWritten = false;    // the mask was written: the shell should hear of it

    bool AnyFailed() const { return driveTypesFailed || audioCdFailed || mediaChangeFailed; }
};

// Where "&aktiv" came from at start.
enum class MediaChangeSource {
    None,         // no CD-ROM device: the box is disabled and nothing is written for it
    Device,       // the "AutoInsertNotification" byte of the device found in the device list
    CdromService, // no device list (the NT family): the Cdrom driver's "AutoRun"
};

class Settings {
  public:
    Settings(Registry &registry, FormView &form) : registry_(registry), form_(form) {}

    void ReadValuesFromRegistry();
    SaveReport SaveValues();
    void SetDefaultValues();
    void Check1_Click(std::int16_t index);

  private:
    void ReadDriveTypes();
    void ReadAudioCdVerb();
    void SearchCdromDevice();
    void ReadCdromService();
    void SaveDriveTypes(SaveReport &report);
    bool SaveMediaChange();
    bool BoxesChanged(int first, int last);
    bool Write(RegHandle root, const std::string &path, const char *name, std::uint32_t type,
               const std::string &bytes);
    bool MachinePolicyDiffers();

    // The window-level variables, one byte per character.
    std::string DriveTypeData = std::string(4, '\0');
    std::string AudioCdVerb;
    std::string InsertNotifyData = std::string(1, '\0');
    std::string CdHardwareKey;

    Registry &registry_;
    FormView &form_;
    MediaChangeSource mediaChangeSource_ = MediaChangeSource::None;
    // Only Windows 95 to Me have the device list under HKEY_DYN_DATA; without it, the NT family.
    bool ntFamily_ = false;
    std::array<int, kCheckCount> boxesAfterRead_{}; // the boxes as the start-up read left them
};

} // namespace quenzel
