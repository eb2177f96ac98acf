// The device-search benchmark on the in-memory registry; under callgrind it also dumps the
// instruction counts of one search of each kind per length, which bench/run.sh reads.
//
// Usage: search_memory [RUNS]   (RUNS 0: only the counted searches, for callgrind)
#include "../registry/memory_registry.h"
#include "device_search.h"

#include <valgrind/callgrind.h>

#include <cstdlib>
#include <memory>

namespace quenzel::bench {
namespace {

class MemoryProvider final : public SearchProvider {
  public:
    void Clear() override { registry_ = std::make_unique<MemoryRegistry>(); }
    void Set(RegHandle root, const std::string &path, const char *valueName, std::uint32_t type,
             const std::string &bytes) override {
        registry_->Tree()
            .Create(root, path)
            .SetValue(valueName, type, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    }
    Registry &Store() override { return *registry_; }
    int Bare() override { return BareSearch(*registry_); }
    // Outside callgrind these do nothing. Under callgrind --instr-atstart=no only the counted
    // searches run instrumented, so the fills take a fraction of the time.
    void BeginCount() override {
        CALLGRIND_START_INSTRUMENTATION;
        CALLGRIND_ZERO_STATS;
    }
    void EndCount(const std::string &label) override {
        CALLGRIND_DUMP_STATS_AT(label.c_str());
        CALLGRIND_STOP_INSTRUMENTATION;
    }

  private:
    std::unique_ptr<MemoryRegistry> registry_ = std::make_unique<MemoryRegistry>();
};

} // namespace
} // namespace quenzel::bench

int main(int argc, char **argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    if (runs < 0)
        return 2;
    quenzel::bench::MemoryProvider provider;
    return quenzel::bench::RunDeviceSearch(provider, {10, 100, 1000, 10000, 100000}, runs) ? 0 : 1;
}
