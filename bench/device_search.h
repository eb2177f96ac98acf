// The device-search benchmark, written once for every registry provider: ReadValuesFromRegistry
// against the bare registry calls it has to make, over device lists of growing length.
#pragma once

#include "../registry/registry.h"
#include "../settings/settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quenzel::bench {

// What a registry provider gives the benchmark.
class SearchProvider {
  public:
    virtual ~SearchProvider() = default;
    // Removes the device list and every device key a fill made.
    virtual void Clear() = 0;
    // Creates the key where missing and stores the value.
    virtual void Set(RegHandle root, const std::string &path, const char *valueName,
                     std::uint32_t type, const std::string &bytes) = 0;
    // The registry the search reads through.
    virtual Registry &Store() = 0;
    // The bare calls (BareSearch below) on the provider's own functions.
    virtual int Bare() = 0;
    // Around one search of each kind per length, where the provider can count instructions.
    virtual void BeginCount() {}
    virtual void EndCount(const std::string & /*label*/) {}
};

// Times both searches runs times per length, taking turns, counts one of each, and prints the
// medians; false, with a message, when a search did not find the drive as the last entry.
bool RunDeviceSearch(SearchProvider &provider, const std::vector<int> &lengths, int runs);

// Every registry call ReadValuesFromRegistry makes on the benchmark's registry, in the same
// order, with fixed buffers and nothing else: the two settings read before the search, then per
// entry one RegEnumKeyA, two RegOpenKeyExA, the reads and the closes. Calls is any type with the
// Registry's five functions, so that a provider's own functions are called directly. Returns the
// entries visited until the drive was found, or -1.
template <class Calls> int BareSearch(Calls &calls) {
    std::uint32_t type = 0, size = 0;
    unsigned char data[256];
    RegHandle key = 0;

    calls.RegOpenKeyExA(hkey::CURRENT_USER, kPolicyKey, 0, key::QUERY_VALUE, &key);
    size = 4;
    calls.RegQueryValueExA(key, "NoDriveTypeAutoRun", &type, data, &size);
    calls.RegCloseKey(key);
    calls.RegOpenKeyExA(hkey::LOCAL_MACHINE, kAudioCdShellKey, 0, key::QUERY_VALUE, &key);
    size = sizeof data;
    calls.RegQueryValueExA(key, "", &type, data, &size);
    calls.RegCloseKey(key);

    RegHandle list = 0;
    if (calls.RegOpenKeyExA(hkey::DYN_DATA, kDeviceListKey, 0, key::ENUMERATE_SUB_KEYS, &list) !=
        error::SUCCESS)
        return -1;
    char name[256];
    char devicePath[300] = "Enum\\";
    constexpr std::size_t kEnum = 5;
    for (std::uint32_t index = 0;; ++index) {
        if (calls.RegEnumKeyA(list, index, name, sizeof name) != error::SUCCESS)
            break;
        RegHandle entry = 0;
        calls.RegOpenKeyExA(list, name, 0, key::QUERY_VALUE, &entry);
        size = 256;
        type = reg::SZ;
        const RegResult read =
            calls.RegQueryValueExA(entry, "HardWareKey", &type,
                                   reinterpret_cast<unsigned char *>(devicePath + kEnum), &size);
        calls.RegCloseKey(entry);
        if (read != error::SUCCESS)
            devicePath[kEnum] = '\0';
        RegHandle device = 0;
        if (calls.RegOpenKeyExA(hkey::LOCAL_MACHINE, devicePath, 0, key::QUERY_VALUE, &device) !=
            error::SUCCESS)
            continue;
        size = 1;
        type = reg::BINARY;
        const RegResult found =
            calls.RegQueryValueExA(device, "AutoInsertNotification", &type, data, &size);
        if (found == error::SUCCESS) {
            size = sizeof data;
            calls.RegQueryValueExA(device, "DeviceDesc", &type, data, &size);
        }
        calls.RegCloseKey(device);
        if (found == error::SUCCESS) {
            calls.RegCloseKey(list);
            return static_cast<int>(index) + 1;
        }
    }
    calls.RegCloseKey(list);
    return -1;
}

} // namespace quenzel::bench
