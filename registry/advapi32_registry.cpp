// The system's registry, through advapi32.
#include "advapi32_registry.h"

#include <algorithm>
#include <vector>

namespace quenzel {

RegResult Advapi32Registry::RegOpenKeyExA(RegHandle key, const char *subKey, std::uint32_t options,
                                          std::uint32_t access, RegHandle *result) {
    HKEY opened = nullptr;
    const LONG rc = ::RegOpenKeyExA(ToHkey(key), subKey, options, access, &opened);
    if (result)
        *result = rc == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(opened) : 0;
    return rc;
}

// Windows leaves the buffer undefined when the value does not fit; the tool relies on a failed
// read changing nothing, so the data goes through a copy that is kept only on success.
RegResult Advapi32Registry::RegQueryValueExA(RegHandle key, const char *valueName,
                                             std::uint32_t *type, unsigned char *data,
                                             std::uint32_t *size) {
    DWORD dwType = type ? *type : 0;
    DWORD dwSize = size ? *size : 0;
    std::vector<BYTE> copy(dwSize ? dwSize : 1);
    const LONG rc = ::RegQueryValueExA(ToHkey(key), valueName, nullptr, type ? &dwType : nullptr,
                                       data ? copy.data() : nullptr, size ? &dwSize : nullptr);
    if (rc == ERROR_SUCCESS && data)
        std::copy(copy.begin(), copy.begin() + dwSize, data);
    if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        if (type)
            *type = dwType;
        if (size)
            *size = dwSize;
    }
    return rc;
}

RegResult Advapi32Registry::RegSetValueExA(RegHandle key, const char *valueName, std::uint32_t type,
                                           const unsigned char *data, std::uint32_t size) {
    return ::RegSetValueExA(ToHkey(key), valueName, 0, type, data, size);
}

RegResult Advapi32Registry::RegEnumKeyA(RegHandle key, std::uint32_t index, char *name,
                                        std::uint32_t nameLength) {
    std::vector<char> copy(nameLength ? nameLength : 1);
    const LONG rc = ::RegEnumKeyA(ToHkey(key), index, name ? copy.data() : nullptr, nameLength);
    if (rc == ERROR_SUCCESS && name) {
        const auto end = std::find(copy.begin(), copy.end(), '\0');
        std::copy(copy.begin(), end == copy.end() ? end : end + 1, name);
    }
    return rc;
}

RegResult Advapi32Registry::RegCloseKey(RegHandle key) {
    return ::RegCloseKey(ToHkey(key));
}

} // namespace quenzel
