// Fuzz target: the input bytes choose a registry, the user's clicks and how the window ends; the
// engine then has to keep the same promises as in the property test.
#include "../tests/invariants.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    quenzel::ByteChooser chooser(data, size);
    const quenzel::Scenario scenario = quenzel::BuildScenario(chooser, quenzel::kFuzzLimits);
    const std::string failure = quenzel::CheckScenario(scenario);
    if (!failure.empty()) {
        std::fprintf(stderr, "\n%s%s\n", failure.c_str(),
                     quenzel::DescribeScenario(scenario).c_str());
        __builtin_trap();
    }
    return 0;
}
