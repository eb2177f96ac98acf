// Registry contents as REGEDIT4 text for the tests (the tool's keys and a Windows 95 machine among
// them), and a listing of a whole store to compare.
#pragma once

#include "../registry/reg_tree.h"

#include <string>
#include <string_view>

namespace quenzel {

// Applies "[ROOT\path]" lines (creating the key) and "name"=data lines ("string", dword:,
// hex:, hex(type):, - deletes; @ names the default value) to the tree. Throws on a line it cannot
// read.
void ImportRegedit4(RegTree &tree, std::string_view text);

// Every key and value with stored spelling, type, bytes and write protection, one per line.
std::string Listing(RegTree tree);

// The tool's keys as REGEDIT4 lines, each up to where its value's data goes.
inline const std::string kMask =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
    "Policies\\Explorer]\n\"NoDriveTypeAutoRun\"=";
inline const std::string kMachine = "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                                    "CurrentVersion\\Policies\\Explorer]\n\"NoDriveTypeAutoRun\"=";
inline const std::string kVerb = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AudioCD\\shell]\n@=";
inline const std::string kEntry =
    "[HKEY_DYN_DATA\\Config Manager\\Enum\\C29A1B00]\n\"HardWareKey\"=";
inline const std::string kDevice = "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\CDROM\\0]\n";
inline const std::string kCdrom =
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Cdrom]\n";
// Windows 95 with one CD-ROM drive, as it comes.
inline const std::string kWin95 = "REGEDIT4\n" + kMask + "hex:95,00,00,00\n" + kVerb +
                                  "\"play\"\n" + kEntry + "\"SCSI\\\\CDROM\\\\0\"\n" + kDevice +
                                  "\"DeviceDesc\"=\"CD-ROM\"\n\"AutoInsertNotification\"=hex:01\n";

} // namespace quenzel
