// An in-memory registry that behaves as the system's does at the calls the tool makes.
#pragma once

#include "reg_tree.h"
#include "registry.h"

#include <unordered_map>

namespace quenzel {

class MemoryRegistry final : public Registry {
  public:
    RegResult RegOpenKeyExA(RegHandle key, const char *subKey, std::uint32_t options,
                            std::uint32_t access, RegHandle *result) override;
    RegResult RegQueryValueExA(RegHandle key, const char *valueName, std::uint32_t *type,
                               unsigned char *data, std::uint32_t *size) override;
    RegResult RegSetValueExA(RegHandle key, const char *valueName, std::uint32_t type,
                             const unsigned char *data, std::uint32_t size) override;
    RegResult RegEnumKeyA(RegHandle key, std::uint32_t index, char *name,
                          std::uint32_t nameLength) override;
    RegResult RegCloseKey(RegHandle key) override;

    RegTree &Tree() { return tree_; }

  private:
    using Subkeys = decltype(RegKey::subkeys);
    struct OpenKey {
        RegKey *key;
        std::uint32_t access;
        // Where the last enumeration stood, so that walking a list in order takes linear time.
        std::uint32_t enumIndex = UINT32_MAX; // no walk yet: enumAt is not set
        Subkeys::iterator enumAt{};
    };
    OpenKey *Lookup(RegHandle key);

    RegTree tree_;
    std::unordered_map<RegHandle, OpenKey> open_;
    RegHandle nextHandle_ = 0x100;
    OpenKey rootKey_{nullptr, 0};
};

} // namespace quenzel
