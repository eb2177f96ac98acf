// Registry contents as REGEDIT4 text, the format the registry editor exports and imports.
#pragma once

#include "reg_tree.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace quenzel {

struct Regedit4Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Applies the text to the tree as the registry editor would: "[KEY]" creates, "[-KEY]" removes
// a key with everything under it, "name"=- removes a value. Text bytes are taken as they are
// (the ANSI code page). Throws Regedit4Error naming the line it cannot read.
void ImportRegedit4(RegTree &tree, std::string_view text);
RegTree ParseRegedit4(std::string_view text);

// Every key of the tree, depth first in stored order, with all its values.
std::string ExportRegedit4(const RegTree &tree);

} // namespace quenzel
