// The device-search benchmark, written once for every registry provider: fills the device list,
// checks both searches, times them in turns and prints the medians.
#include "device_search.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace quenzel::bench {

namespace {

constexpr char kCdromDescription[] = "CD-ROM-Laufwerk (SCSI)";

// Entry names sort in index order, so the registry enumerates the CD-ROM drive last. Every
// other entry names a present device without "AutoInsertNotification": the search opens both
// keys and makes both reads for each of them, and goes on. All device keys are under
// Enum\BENCH, which Clear removes.
std::string EntryName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "%08X", static_cast<unsigned>(index));
    return name;
}

std::string HardwareKey(int index, int length) {
    if (index == length - 1)
        return "BENCH\\CDROM\\0";
    char key[32];
    std::snprintf(key, sizeof key, "BENCH\\PNP0C01\\%06d", index);
    return key;
}

std::string Text(const std::string &text) {
    return text + '\0';
}

void Fill(SearchProvider &provider, int length) {
    provider.Clear();
    provider.Set(hkey::CURRENT_USER, kPolicyKey, "NoDriveTypeAutoRun", reg::BINARY,
                 std::string("\x95\0\0\0", 4));
    provider.Set(hkey::LOCAL_MACHINE, kAudioCdShellKey, "", reg::SZ, Text("play"));
    for (int i = 0; i < length; ++i) {
        const std::string hardwareKey = HardwareKey(i, length);
        provider.Set(hkey::DYN_DATA, std::string(kDeviceListKey) + "\\" + EntryName(i),
                     "HardWareKey", reg::SZ, Text(hardwareKey));
        const std::string device = "Enum\\" + hardwareKey;
        if (i == length - 1) {
            provider.Set(hkey::LOCAL_MACHINE, device, "DeviceDesc", reg::SZ,
                         Text(kCdromDescription));
            provider.Set(hkey::LOCAL_MACHINE, device, "AutoInsertNotification", reg::BINARY,
                         "\x01");
        } else {
            provider.Set(hkey::LOCAL_MACHINE, device, "Class", reg::SZ, Text("System"));
        }
    }
}

// The window as the search sees it: the boxes and the label; no click is passed on.
class SearchForm final : public FormView {
  public:
    int Value(int index) override { return values.at(index); }
    void SetValue(int index, int value) override { values.at(index) = value; }
    void SetLabel1Caption(const std::string &ansiText) override { label = ansiText; }
    void ShowAllDrivesNote() override {}
    void SetCheckEnabled(int, bool) override {}

    std::array<int, kCheckCount> values{};
    std::string label;
};

// One search of the settings engine; true when it found the drive.
bool Search(Registry &registry) {
    SearchForm form;
    Settings settings(registry, form);
    settings.ReadValuesFromRegistry();
    return form.label == kCdromDescription && form.values[kMediaChange] == 1;
}

using Clock = std::chrono::steady_clock;

// Seconds for one call of what, averaged over repeats calls.
template <class What> double Time(int repeats, What what) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < repeats; ++i)
        what();
    return std::chrono::duration<double>(Clock::now() - start).count() / repeats;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Result {
    int length;
    double search, bare; // seconds, medians
};

bool Measure(SearchProvider &provider, int length, int runs, Result &result) {
    Fill(provider, length);
    const Clock::time_point start = Clock::now();
    const bool found = Search(provider.Store());
    const double once = std::chrono::duration<double>(Clock::now() - start).count();
    const int visited = provider.Bare();
    if (!found || visited != length) {
        std::fprintf(stderr, "%d entries: the search %s the drive, the bare calls visited %d\n",
                     length, found ? "found" : "did not find", visited);
        return false;
    }

    provider.BeginCount();
    Search(provider.Store());
    provider.EndCount("search " + std::to_string(length));
    provider.BeginCount();
    provider.Bare();
    provider.EndCount("bare " + std::to_string(length));

    // Short searches are repeated until a sample takes a few milliseconds.
    const int repeats = std::max(1, static_cast<int>(0.005 / std::max(once, 1e-9)));
    std::vector<double> search, bare;
    for (int run = 0; run < runs; ++run) {
        // The two take turns at going first.
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (run % 2 == 0))
                search.push_back(Time(repeats, [&] { Search(provider.Store()); }));
            else
                bare.push_back(Time(repeats, [&] { provider.Bare(); }));
        }
    }
    result = {length, runs ? Median(search) : 0, runs ? Median(bare) : 0};
    return true;
}

} // namespace

bool RunDeviceSearch(SearchProvider &provider, const std::vector<int> &lengths, int runs) {
    std::vector<Result> results;
    for (int length : lengths) {
        Result result{};
        if (!Measure(provider, length, runs, result))
            return false;
        results.push_back(result);
    }
    provider.Clear();
    if (runs == 0)
        return true;

    std::printf("device search, elapsed time per search, median of %d runs\n", runs);
    std::printf("  %8s %12s %12s %14s %14s %7s\n", "entries", "search ms", "bare ms",
                "search us/ent", "bare us/ent", "ratio");
    for (const Result &r : results)
        std::printf("  %8d %12.3f %12.3f %14.3f %14.3f %7.3f\n", r.length, r.search * 1e3,
                    r.bare * 1e3, r.search * 1e6 / r.length, r.bare * 1e6 / r.length,
                    r.search / r.bare);
    const Result &first = results.front(), &last = results.back();
    std::printf("  time per entry from %d to %d entries: search x%.2f, bare calls x%.2f "
                "(linear: x1)\n",
                first.length, last.length,
                (last.search / last.length) / (first.search / first.length),
                (last.bare / last.length) / (first.bare / first.length));
    return true;
}

} // namespace quenzel::bench
