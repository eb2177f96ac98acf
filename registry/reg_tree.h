// A whole registry held in memory: keys and values with their stored spellings.
#pragma once

#include "registry.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quenzel {

// Orders names without regard to case, as the system's registry compares them: ASCII letters
// and the letters of Windows-1252.
struct FoldedLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

struct RegValue {
    std::uint32_t type = reg::BINARY;
    std::vector<unsigned char> data;
};

// Maps keep the spelling a name was first stored with.
struct RegKey {
    std::map<std::string, RegValue, FoldedLess> values; // "" is the key's default value
    std::map<std::string, RegKey, FoldedLess> subkeys;
    bool denyWrite = false; // opening for key::SET_VALUE is refused, as by a security descriptor

    RegKey *FindSubkey(std::string_view name);
    RegKey &CreateSubkey(std::string_view name); // the existing one when present
    void SetValue(std::string_view name, std::uint32_t type, std::vector<unsigned char> data);
};

// The key at path below key; null when a component is missing.
RegKey *FindPath(RegKey *key, std::string_view path);

// The three roots the tool uses; a path's components are separated by backslashes, empty ones
// are skipped.
class RegTree {
  public:
    RegKey *Root(RegHandle root);
    RegKey *Find(RegHandle root, std::string_view path);
    RegKey &Create(RegHandle root, std::string_view path);

  private:
    RegKey currentUser_, localMachine_, dynData_;
};

} // namespace quenzel
