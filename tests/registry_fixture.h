// Registries for the tests: REGEDIT4 text in, a listing of the whole store out.
#pragma once

#include "../registry/memory_registry.h"

#include <memory>
#include <string>
#include <string_view>

namespace quenzel {

// Applies "[ROOT\path]" lines (creating the key), "name"=data lines ("string", dword:, hex:,
// hex(type):, - deletes; @ the default value) and ";deny" (the key refuses key::SET_VALUE).
void ImportRegedit4(RegTree &tree, std::string_view text);

// Every key and value with stored spelling, type and bytes, one per line.
std::string Listing(RegTree tree);

// A scratch registry for one test, in memory; under Wine, advapi32's. Load replaces everything
// under the three roots with the text; Store lists them.
class RegistryFixture {
  public:
    virtual ~RegistryFixture() = default;
    virtual Registry &registry() { return memory_; }
    virtual void Load(std::string_view regedit4) { ImportRegedit4(memory_.Tree() = {}, regedit4); }
    virtual std::string Store() { return Listing(memory_.Tree()); }

  protected:
    MemoryRegistry memory_; // under Wine: the text as loaded
};

// At most one at a time: under Wine the roots are redirected for the whole process.
std::unique_ptr<RegistryFixture> MakeRegistryFixture();

// The tool's keys as REGEDIT4 lines, each up to where its value's data goes.
inline const std::string kMask = "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                                 "CurrentVersion\\Policies\\Explorer]\n\"NoDriveTypeAutoRun\"=";
inline const std::string kMachine = "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                                    "CurrentVersion\\Policies\\Explorer]\n\"NoDriveTypeAutoRun\"=";
inline const std::string kVerb = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AudioCD\\shell]\n@=";
inline const std::string kEntry =
    "[HKEY_DYN_DATA\\Config Manager\\Enum\\C29A1B00]\n\"HardWareKey\"=";
inline const std::string kDevice = "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\CDROM\\0]\n";
inline const std::string kCdrom =
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Cdrom]\n";
// Windows 95 with one CD-ROM drive, as it comes; the NT family: no device list, the Cdrom driver.
inline const std::string kWin95 = "REGEDIT4\n" + kMask + "hex:95,00,00,00\n" + kVerb +
                                  "\"play\"\n" + kEntry + "\"SCSI\\\\CDROM\\\\0\"\n" + kDevice +
                                  "\"DeviceDesc\"=\"CD-ROM\"\n\"AutoInsertNotification\"=hex:01\n";
inline const std::string kNt = "REGEDIT4\n" + kMask + "hex:95,00,00,00\n" + kVerb + "\"play\"\n" +
                               kCdrom + "\"Start\"=dword:00000001\n";

} // namespace quenzel
