// The registry boundary: the system's constants and the five operations the settings engine uses.
#pragma once

#include <cstdint>
#include <string>

namespace quenzel {

using RegHandle = std::uintptr_t; // an opened key or one of the predefined roots
using RegResult = std::int32_t;   // 0 on success, else a system error code

// The system's constants with its values, each prefix made a namespace (HKEY_DYN_DATA is
// hkey::DYN_DATA, ERROR_SUCCESS is error::SUCCESS): windows.h makes macros of the full names,
// and these never meet them, so headers may come in any order.
namespace hkey {
constexpr RegHandle CURRENT_USER = 0x80000001;
constexpr RegHandle LOCAL_MACHINE = 0x80000002;
constexpr RegHandle DYN_DATA = 0x80000006;
} // namespace hkey

namespace key {
constexpr std::uint32_t QUERY_VALUE = 1;
constexpr std::uint32_t SET_VALUE = 2;
constexpr std::uint32_t ENUMERATE_SUB_KEYS = 8;
} // namespace key

namespace reg {
constexpr std::uint32_t SZ = 1;
constexpr std::uint32_t BINARY = 3;
constexpr std::uint32_t DWORD = 4;
} // namespace reg

namespace error {
constexpr RegResult SUCCESS = 0;
constexpr RegResult FILE_NOT_FOUND = 2;
constexpr RegResult ACCESS_DENIED = 5;
constexpr RegResult INVALID_HANDLE = 6;
constexpr RegResult MORE_DATA = 234;
constexpr RegResult NO_MORE_ITEMS = 259;
} // namespace error

// Shaped as the advapi32 functions of the same names: 8-bit names that end at their first NUL,
// byte buffers, sizes in and out. Whatever a call fails on, it leaves the caller's buffers and
// the store as they were.
class Registry {
  public:
    virtual ~Registry() = default;
    virtual RegResult RegOpenKeyExA(RegHandle key, const char *subKey, std::uint32_t options,
                                    std::uint32_t access, RegHandle *result) = 0;
    virtual RegResult RegQueryValueExA(RegHandle key, const char *valueName, std::uint32_t *type,
                                       unsigned char *data, std::uint32_t *size) = 0;
    virtual RegResult RegSetValueExA(RegHandle key, const char *valueName, std::uint32_t type,
                                     const unsigned char *data, std::uint32_t size) = 0;
    virtual RegResult RegEnumKeyA(RegHandle key, std::uint32_t index, char *name,
                                  std::uint32_t nameLength) = 0;
    virtual RegResult RegCloseKey(RegHandle key) = 0;
};

// The characters before the first NUL; the whole text when it holds none.
inline std::string CutAtNull(const std::string &text) {
    return text.substr(0, text.find('\0'));
}

} // namespace quenzel
