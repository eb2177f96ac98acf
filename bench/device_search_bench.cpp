// Device search benchmark on the in-memory registry: ReadValuesFromRegistry against the bare
// registry calls it has to make, from 10 to 100,000 entries in the device list.
#include "../registry/memory_registry.h"
#include "../settings/settings.h"
#include "../tests/model_form.h"
#include "device_list.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>

namespace quenzel {
namespace {

std::vector<unsigned char> Text(const std::string &text) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

// A Windows 95 machine whose device list has count entries, the CD-ROM drive last.
RegTree MakeTree(int count) {
    RegTree tree;
    tree.Create(hkey::CURRENT_USER, kPolicyKey)
        .SetValue("NoDriveTypeAutoRun", reg::BINARY, {0x95, 0, 0, 0});
    tree.Create(hkey::LOCAL_MACHINE, kAudioCdShellKey).SetValue("", reg::SZ, Text("play"));
    RegKey &list = tree.Create(hkey::DYN_DATA, kDeviceListKey);
    for (int i = 0; i < count; ++i) {
        const std::string hardwareKey = bench::HardwareKey(i, count);
        list.CreateSubkey(bench::EntryName(i)).SetValue("HardWareKey", reg::SZ, Text(hardwareKey));
        RegKey &device = tree.Create(hkey::LOCAL_MACHINE, "Enum\\" + hardwareKey);
        if (i == count - 1) {
            device.SetValue("DeviceDesc", reg::SZ, Text(bench::kCdromDescription));
            device.SetValue("AutoInsertNotification", reg::BINARY, {1});
        } else {
            device.SetValue("Class", reg::SZ, Text("System"));
        }
    }
    return tree;
}

// One registry per list length, built once, outside the timed loops.
MemoryRegistry &RegistryWith(int count) {
    static std::map<int, std::unique_ptr<MemoryRegistry>> registries;
    auto &registry = registries[count];
    if (!registry)
        registry = std::make_unique<MemoryRegistry>(MakeTree(count));
    return *registry;
}

// Every registry call ReadValuesFromRegistry makes on such a registry, in the same order, with
// fixed buffers and nothing else. Returns the entries visited until the drive was found, or -1.
int BareSearch(Registry &registry) {
    std::uint32_t type = 0, size = 0;
    unsigned char data[256];
    RegHandle key = 0;

    registry.RegOpenKeyExA(hkey::CURRENT_USER, kPolicyKey, 0, key::QUERY_VALUE, &key);
    size = 4;
    registry.RegQueryValueExA(key, "NoDriveTypeAutoRun", &type, data, &size);
    registry.RegCloseKey(key);
    registry.RegOpenKeyExA(hkey::LOCAL_MACHINE, kAudioCdShellKey, 0, key::QUERY_VALUE, &key);
    size = 256;
    registry.RegQueryValueExA(key, "", &type, data, &size);
    registry.RegCloseKey(key);

    RegHandle list = 0;
    if (registry.RegOpenKeyExA(hkey::DYN_DATA, kDeviceListKey, 0, key::ENUMERATE_SUB_KEYS, &list) !=
        error::SUCCESS)
        return -1;
    char entryPath[300];
    const std::size_t prefix = std::strlen(kDeviceListKey) + 1;
    std::memcpy(entryPath, kDeviceListKey, prefix - 1);
    entryPath[prefix - 1] = '\\';
    char devicePath[300] = "Enum\\";
    for (std::uint32_t index = 0;; ++index) {
        if (registry.RegEnumKeyA(list, index, entryPath + prefix, 256) != error::SUCCESS)
            break;
        RegHandle entry = 0;
        registry.RegOpenKeyExA(hkey::DYN_DATA, entryPath, 0, key::QUERY_VALUE, &entry);
        size = 256;
        type = reg::SZ;
        const RegResult read = registry.RegQueryValueExA(
            entry, "HardWareKey", &type, reinterpret_cast<unsigned char *>(devicePath + 5), &size);
        registry.RegCloseKey(entry);
        if (read != error::SUCCESS)
            devicePath[5] = '\0';
        RegHandle device = 0;
        if (registry.RegOpenKeyExA(hkey::LOCAL_MACHINE, devicePath, 0, key::QUERY_VALUE, &device) !=
            error::SUCCESS)
            continue;
        size = 1;
        type = reg::BINARY;
        if (registry.RegQueryValueExA(device, "AutoInsertNotification", &type, data, &size) ==
            error::SUCCESS) {
            size = 256;
            registry.RegQueryValueExA(device, "DeviceDesc", &type, data, &size);
            registry.RegCloseKey(device);
            registry.RegCloseKey(list);
            return static_cast<int>(index) + 1;
        }
        registry.RegCloseKey(device);
    }
    registry.RegCloseKey(list);
    return -1;
}

void SetCounters(benchmark::State &state, int count) {
    state.SetComplexityN(count);
    state.counters["entries"] = count;
    // Time per entry of the device list: iterations * entries per second, inverted.
    state.counters["per_entry"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReadValuesFromRegistry(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    MemoryRegistry &registry = RegistryWith(count);
    ModelForm form;
    for (auto _ : state) {
        form = ModelForm();
        Settings settings(registry, form);
        form.settings = &settings;
        settings.ReadValuesFromRegistry();
        benchmark::DoNotOptimize(form.label.data());
        form.settings = nullptr;
    }
    if (form.label != bench::kCdromDescription || form.values[kMediaChange] != 1)
        state.SkipWithError("the search did not find the CD-ROM drive");
    else if (registry.OpenHandles() != 0)
        state.SkipWithError("the search left keys open");
    SetCounters(state, count);
}

void BM_BareRegistryCalls(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    MemoryRegistry &registry = RegistryWith(count);
    int visited = 0;
    for (auto _ : state) {
        visited = BareSearch(registry);
        benchmark::DoNotOptimize(visited);
    }
    if (visited != count)
        state.SkipWithError("the bare calls did not reach the CD-ROM drive last");
    else if (registry.OpenHandles() != 0)
        state.SkipWithError("the bare calls left keys open");
    SetCounters(state, count);
}

BENCHMARK(BM_ReadValuesFromRegistry)
    ->RangeMultiplier(10)
    ->Range(10, 100000)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_BareRegistryCalls)->RangeMultiplier(10)->Range(10, 100000)->Complexity(benchmark::oN);

} // namespace
} // namespace quenzel

BENCHMARK_MAIN();
