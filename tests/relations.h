// What must hold between a registry, the user's clicks and what the engine leaves behind; the
// property test and the fuzz target check the same relations on generated scenarios.
#pragma once

#include <functional>
#include <string>

namespace quenzel {

struct Scenario {
    std::string regedit4; // the starting registry
    std::string deny;     // keys that refuse writing: D policy, A audio CD, M a device, C Cdrom
    std::string clicks;   // box indices clicked in turn; S is "&Standard"
    bool ok = false;      // ends with "&OK", else with "&Abbrechen"
};

// Builds a scenario from answers; choose(n) is a number below n.
Scenario MakeScenario(const std::function<unsigned(unsigned)> &choose);

// Runs the scenario on the in-memory registry; returns each relation that failed, or "".
std::string CheckRelations(const Scenario &scenario);

} // namespace quenzel
