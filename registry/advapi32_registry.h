// The system's registry, through advapi32.
#pragma once

#include "registry.h"

#include <windows.h>

namespace quenzel {

// The system's handle for a key; the predefined roots are 32-bit values that 64-bit Windows
// sign-extends.
inline HKEY ToHkey(RegHandle key) {
    if (key >= 0x80000000u && key <= 0x800000FFu)
        return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
    return reinterpret_cast<HKEY>(key);
}

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
