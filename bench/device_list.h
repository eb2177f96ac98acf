// The device list of the search benchmarks: many entries, only the last one a CD-ROM drive.
#pragma once

#include <cstdio>
#include <string>

namespace quenzel::bench {

// Entry names sort in index order, so the registry enumerates the CD-ROM drive last.
inline std::string EntryName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "%08X", static_cast<unsigned>(index));
    return name;
}

constexpr char kCdromHardwareKey[] = "SCSI\\CD-ROM_LAUFWERK\\0";
constexpr char kCdromDescription[] = "CD-ROM-Laufwerk (SCSI)";

// Every entry but the last names a present device without "AutoInsertNotification": the search
// opens both keys and makes both reads for each of them, and goes on.
inline std::string HardwareKey(int index, int count) {
    if (index == count - 1)
        return kCdromHardwareKey;
    char key[48];
    std::snprintf(key, sizeof key, "Root\\*PNP0C01\\%06d", index);
    return key;
}

} // namespace quenzel::bench
