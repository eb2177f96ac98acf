// Registry contents as REGEDIT4 text for the tests, and a listing of a whole store to compare.
#pragma once

#include "../registry/reg_tree.h"

#include <string>
#include <string_view>

namespace quenzel {

// Applies "[ROOT\path]" lines (creating the key) and "name"=data lines ("string", dword:,
// hex:, hex(type):; @ names the default value) to the tree. Throws on a line it cannot read.
void ImportRegedit4(RegTree &tree, std::string_view text);

// Every key and value with stored spelling, type, bytes and write protection, one per line.
std::string Listing(RegTree tree);

} // namespace quenzel
