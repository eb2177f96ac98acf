// A whole registry held in memory: keys and values with their stored spellings.
#pragma once

#include "registry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quenzel {

// Names compare without regard to case, as the system's registry does: ASCII letters and the
// letters of Windows-1252.
std::string FoldName(std::string_view name);

struct RegValue {
    std::string name; // "" is the key's default value
    std::uint32_t type = reg::BINARY;
    std::vector<unsigned char> data;
};

struct RegKey {
    std::string name;
    std::vector<RegValue> values;                 // sorted by folded name
    std::vector<std::unique_ptr<RegKey>> subkeys; // sorted by folded name
    bool denyWrite = false; // opening for KEY_SET_VALUE is refused, as by a security descriptor

    RegKey() = default;
    explicit RegKey(std::string keyName) : name(std::move(keyName)) {}
    RegKey(const RegKey &other);
    RegKey &operator=(const RegKey &other);
    RegKey(RegKey &&) = default;
    RegKey &operator=(RegKey &&) = default;

    RegKey *FindSubkey(std::string_view keyName) const;
    RegKey &CreateSubkey(std::string_view keyName); // the existing one when present
    bool DeleteSubkey(std::string_view keyName);
    const RegValue *FindValue(std::string_view valueName) const;
    void SetValue(std::string_view valueName, std::uint32_t type, std::vector<unsigned char> data);
    bool DeleteValue(std::string_view valueName);
};

// The three roots the tool uses.
class RegTree {
  public:
    RegTree();
    RegKey *Root(RegHandle root);
    const RegKey *Root(RegHandle root) const;
    static const char *RootName(RegHandle root); // "HKEY_CURRENT_USER", ...
    static constexpr RegHandle kRoots[] = {hkey::CURRENT_USER, hkey::LOCAL_MACHINE, hkey::DYN_DATA};

    // Path components separated by backslashes; empty components are skipped.
    RegKey *Find(RegHandle root, std::string_view path) const;
    RegKey &Create(RegHandle root, std::string_view path);

  private:
    RegKey currentUser_, localMachine_, dynData_;
};

std::vector<std::string_view> SplitKeyPath(std::string_view path);

} // namespace quenzel
