// Device search benchmark on the system's registry (advapi32; under Wine): ReadValuesFromRegistry
// against the bare advapi32 calls it has to make, at 1,000 and 10,000 entries in the device list.
//
// Usage: device_search_wine [RUNS]
//
// Replaces the device list under HKEY_DYN_DATA with its own entries and creates their device
// keys under HKEY_LOCAL_MACHINE\Enum: meant for a throw-away Wine prefix. Times each search with
// QueryPerformanceCounter, the two kinds taking turns, and prints medians.
#include "../registry/advapi32_registry.h"
#include "../settings/settings.h"
#include "../tests/model_form.h"
#include "device_list.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using quenzel::kAudioCdShellKey;
using quenzel::kDeviceListKey;
using quenzel::kPolicyKey;

bool Check(LONG result, const char *what) {
    if (result != ERROR_SUCCESS)
        std::fprintf(stderr, "%s failed (%ld)\n", what, result);
    return result == ERROR_SUCCESS;
}

bool SetText(HKEY key, const char *name, const std::string &text) {
    return Check(::RegSetValueExA(key, name, 0, REG_SZ,
                                  reinterpret_cast<const BYTE *>(text.c_str()),
                                  static_cast<DWORD>(text.size() + 1)),
                 "RegSetValueExA");
}

bool CreateKey(HKEY root, const std::string &path, HKEY *key) {
    return Check(
        ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key, nullptr),
        "RegCreateKeyExA");
}

// The two settings read before the search, and a device list of count entries, the CD-ROM drive
// last; whatever the list held before is removed.
bool Fill(int count) {
    HKEY key;
    if (!CreateKey(HKEY_CURRENT_USER, kPolicyKey, &key))
        return false;
    const BYTE mask[4] = {0x95, 0, 0, 0};
    ::RegSetValueExA(key, "NoDriveTypeAutoRun", 0, REG_BINARY, mask, sizeof mask);
    ::RegCloseKey(key);
    if (!CreateKey(HKEY_LOCAL_MACHINE, kAudioCdShellKey, &key) || !SetText(key, "", "play"))
        return false;
    ::RegCloseKey(key);

    HKEY list;
    if (!CreateKey(HKEY_DYN_DATA, kDeviceListKey, &list))
        return false;
    char name[256];
    while (::RegEnumKeyA(list, 0, name, sizeof name) == ERROR_SUCCESS)
        if (!Check(::RegDeleteTreeA(list, name), "RegDeleteTreeA"))
            return false;
    for (int i = 0; i < count; ++i) {
        const std::string hardwareKey = quenzel::bench::HardwareKey(i, count);
        HKEY entry, device;
        if (!CreateKey(list, quenzel::bench::EntryName(i), &entry) ||
            !SetText(entry, "HardWareKey", hardwareKey))
            return false;
        ::RegCloseKey(entry);
        if (!CreateKey(HKEY_LOCAL_MACHINE, "Enum\\" + hardwareKey, &device))
            return false;
        if (i == count - 1) {
            const BYTE on = 1;
            SetText(device, "DeviceDesc", quenzel::bench::kCdromDescription);
            ::RegSetValueExA(device, "AutoInsertNotification", 0, REG_BINARY, &on, 1);
        } else {
            SetText(device, "Class", "System");
            ::RegDeleteValueA(device, "AutoInsertNotification");
        }
        ::RegCloseKey(device);
    }
    ::RegCloseKey(list);
    return true;
}

// Every advapi32 call ReadValuesFromRegistry makes on that registry, in the same order, with
// fixed buffers and nothing else. Returns the entries visited until the drive was found, or -1.
int BareSearch() {
    DWORD type = 0, size = 0;
    BYTE data[256];
    HKEY key = nullptr;

    ::RegOpenKeyExA(HKEY_CURRENT_USER, kPolicyKey, 0, KEY_QUERY_VALUE, &key);
    size = 4;
    ::RegQueryValueExA(key, "NoDriveTypeAutoRun", nullptr, &type, data, &size);
    ::RegCloseKey(key);
    ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAudioCdShellKey, 0, KEY_QUERY_VALUE, &key);
    size = 256;
    ::RegQueryValueExA(key, "", nullptr, &type, data, &size);
    ::RegCloseKey(key);

    HKEY list = nullptr;
    if (::RegOpenKeyExA(HKEY_DYN_DATA, kDeviceListKey, 0, KEY_ENUMERATE_SUB_KEYS, &list) !=
        ERROR_SUCCESS)
        return -1;
    char entryPath[300];
    const std::size_t prefix = std::strlen(kDeviceListKey) + 1;
    std::memcpy(entryPath, kDeviceListKey, prefix - 1);
    entryPath[prefix - 1] = '\\';
    char devicePath[300] = "Enum\\";
    for (DWORD index = 0;; ++index) {
        if (::RegEnumKeyA(list, index, entryPath + prefix, 256) != ERROR_SUCCESS)
            break;
        HKEY entry = nullptr;
        ::RegOpenKeyExA(HKEY_DYN_DATA, entryPath, 0, KEY_QUERY_VALUE, &entry);
        size = 256;
        const LONG read = ::RegQueryValueExA(entry, "HardWareKey", nullptr, &type,
                                             reinterpret_cast<BYTE *>(devicePath + 5), &size);
        ::RegCloseKey(entry);
        if (read != ERROR_SUCCESS)
            devicePath[5] = '\0';
        HKEY device = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, devicePath, 0, KEY_QUERY_VALUE, &device) !=
            ERROR_SUCCESS)
            continue;
        size = 1;
        if (::RegQueryValueExA(device, "AutoInsertNotification", nullptr, &type, data, &size) ==
            ERROR_SUCCESS) {
            size = 256;
            ::RegQueryValueExA(device, "DeviceDesc", nullptr, &type, data, &size);
            ::RegCloseKey(device);
            ::RegCloseKey(list);
            return static_cast<int>(index) + 1;
        }
        ::RegCloseKey(device);
    }
    ::RegCloseKey(list);
    return -1;
}

double Now() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Result {
    int count;
    double searchSeconds, bareSeconds;
};

bool Measure(int count, int runs, Result &result) {
    if (!Fill(count))
        return false;
    quenzel::Advapi32Registry registry;
    std::vector<double> search, bare;
    for (int run = -1; run < runs; ++run) { // run -1 warms up and checks
        quenzel::ModelForm form;
        quenzel::Settings settings(registry, form);
        form.settings = &settings;
        // The two kinds take turns at going first.
        double searchSeconds = 0, bareSeconds = 0;
        int visited = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const double start = Now();
            if ((turn == 0) == (run % 2 == 0)) {
                settings.ReadValuesFromRegistry();
                searchSeconds = Now() - start;
            } else {
                visited = BareSearch();
                bareSeconds = Now() - start;
            }
        }
        if (form.label != quenzel::bench::kCdromDescription) {
            std::fprintf(stderr, "%d entries: the search did not find the CD-ROM drive\n", count);
            return false;
        }
        if (visited != count) {
            std::fprintf(stderr, "%d entries: the bare calls found the drive after %d\n", count,
                         visited);
            return false;
        }
        if (run >= 0) {
            search.push_back(searchSeconds);
            bare.push_back(bareSeconds);
        }
    }
    result = {count, Median(search), Median(bare)};
    return true;
}

} // namespace

int main(int argc, char **argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    if (runs < 1)
        return 2;
    std::vector<Result> results;
    for (int count : {1000, 10000}) {
        Result result{};
        if (!Measure(count, runs, result))
            return 1;
        results.push_back(result);
    }
    Fill(0);

    std::printf("device search on advapi32, median of %d runs each\n", runs);
    std::printf("  %8s %12s %12s %14s %14s %7s\n", "entries", "search ms", "bare ms",
                "search us/ent", "bare us/ent", "ratio");
    for (const Result &r : results)
        std::printf("  %8d %12.2f %12.2f %14.3f %14.3f %7.3f\n", r.count, r.searchSeconds * 1e3,
                    r.bareSeconds * 1e3, r.searchSeconds * 1e6 / r.count,
                    r.bareSeconds * 1e6 / r.count, r.searchSeconds / r.bareSeconds);
    const Result &small = results.front(), &large = results.back();
    std::printf("  growth %d -> %d entries (x%.0f): search x%.2f, bare x%.2f "
                "(target: linear; search within 1.2x of the bare calls)\n",
                small.count, large.count, static_cast<double>(large.count) / small.count,
                large.searchSeconds / small.searchSeconds, large.bareSeconds / small.bareSeconds);
    return 0;
}
