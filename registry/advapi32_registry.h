// The system's registry, through advapi32.
#pragma once

#include "registry.h"

namespace quenzel {

class Advapi32Registry final : public Registry {
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
};

} // namespace quenzel
