// Fuzz target: the input bytes choose a registry, the user's clicks and how the window ends; the
// engine then has to keep the same relations as in the property test.
#include "../tests/relations.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::size_t pos = 0;
    const quenzel::Scenario scenario =
        quenzel::MakeScenario([&](unsigned n) { return pos < size ? data[pos++] % n : 0u; });
    const std::string failed = quenzel::CheckRelations(scenario);
    if (!failed.empty()) {
        std::fprintf(stderr, "\n%sdeny %s, clicks %s, %s\n%s", failed.c_str(),
                     scenario.deny.c_str(), scenario.clicks.c_str(),
                     scenario.ok ? "OK" : "Abbrechen", scenario.regedit4.c_str());
        __builtin_trap();
    }
    return 0;
}
