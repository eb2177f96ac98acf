// The device-search benchmark on the system's registry (advapi32; under Wine). It replaces the
// device list under HKEY_DYN_DATA and writes device keys under HKEY_LOCAL_MACHINE\Enum\BENCH:
// run it only in a throw-away prefix.
//
// Usage: search_advapi32 [RUNS]
#include "../registry/advapi32_registry.h"
#include "device_search.h"

#include <windows.h>

#include <cstdlib>

namespace quenzel::bench {
namespace {

// advapi32's functions as they are, without the provider's copies.
struct BareCalls {
    RegResult RegOpenKeyExA(RegHandle key, const char *subKey, std::uint32_t options,
                            std::uint32_t access, RegHandle *result) {
        HKEY opened = nullptr;
        const LONG rc = ::RegOpenKeyExA(ToHkey(key), subKey, options, access, &opened);
        *result = reinterpret_cast<RegHandle>(opened);
        return rc;
    }
    RegResult RegQueryValueExA(RegHandle key, const char *valueName, std::uint32_t *type,
                               unsigned char *data, std::uint32_t *size) {
        return ::RegQueryValueExA(ToHkey(key), valueName, nullptr, reinterpret_cast<DWORD *>(type),
                                  data, reinterpret_cast<DWORD *>(size));
    }
    RegResult RegEnumKeyA(RegHandle key, std::uint32_t index, char *name,
                          std::uint32_t nameLength) {
        return ::RegEnumKeyA(ToHkey(key), index, name, nameLength);
    }
    RegResult RegCloseKey(RegHandle key) { return ::RegCloseKey(ToHkey(key)); }
};
static_assert(sizeof(DWORD) == sizeof(std::uint32_t));

class Advapi32Provider final : public SearchProvider {
  public:
    void Clear() override {
        ::RegDeleteTreeA(ToHkey(hkey::DYN_DATA), kDeviceListKey);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Enum\\BENCH");
    }
    void Set(RegHandle root, const std::string &path, const char *valueName, std::uint32_t type,
             const std::string &bytes) override {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(ToHkey(root), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr) != ERROR_SUCCESS)
            return; // the search's check reports what is missing
        ::RegSetValueExA(key, valueName, 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                         static_cast<DWORD>(bytes.size()));
        ::RegCloseKey(key);
    }
    Registry &Store() override { return registry_; }
    int Bare() override { return BareSearch(calls_); }

  private:
    Advapi32Registry registry_;
    BareCalls calls_;
};

} // namespace
} // namespace quenzel::bench

int main(int argc, char **argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    if (runs < 1)
        return 2;
    quenzel::bench::Advapi32Provider provider;
    return quenzel::bench::RunDeviceSearch(provider, {1000, 10000}, runs) ? 0 : 1;
}
