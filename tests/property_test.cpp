// The engine on many generated registries and click sequences keeps its relations.
#include "relations.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace quenzel {
namespace {

// QUENZEL_PROPERTY_CASES sets the number of cases (valgrind runs fewer).
TEST(Relations, HoldOnGeneratedScenarios) {
    const char *cases = std::getenv("QUENZEL_PROPERTY_CASES");
    const unsigned count = cases ? static_cast<unsigned>(std::atoi(cases)) : 1000;
    for (unsigned seed = 0; seed < count; ++seed) {
        std::mt19937 random(seed);
        const Scenario s = MakeScenario([&](unsigned n) { return random() % n; });
        const std::string failed = CheckRelations(s);
        ASSERT_EQ("", failed) << "seed " << seed << ", deny " << s.deny << ", clicks " << s.clicks
                              << (s.ok ? ", OK\n" : ", Abbrechen\n") << s.regedit4;
    }
}

} // namespace
} // namespace quenzel
