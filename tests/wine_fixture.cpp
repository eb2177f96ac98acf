// The scratch registry under Wine: advapi32 with the three roots redirected into scratch keys.
#include "registry_fixture.h"

#include "../registry/advapi32_registry.h"

#include <windows.h>

#include <sddl.h>

#include <stdexcept>
#include <vector>

namespace quenzel {

namespace {

constexpr RegHandle kRoots[] = {hkey::CURRENT_USER, hkey::LOCAL_MACHINE, hkey::DYN_DATA};
const HKEY kPredefined[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_DYN_DATA};

void Check(LONG rc, const char *what) {
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed: " + std::to_string(rc));
}

void WriteKey(HKEY key, const RegKey &from) {
    for (const auto &[name, value] : from.values)
        Check(::RegSetValueExA(key, name.c_str(), 0, value.type, value.data.data(),
                               static_cast<DWORD>(value.data.size())),
              name.c_str());
    for (const auto &[name, sub] : from.subkeys) {
        HKEY child;
        Check(::RegCreateKeyExA(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child,
                                nullptr),
              name.c_str());
        WriteKey(child, sub);
        ::RegCloseKey(child);
    }
    if (from.denyWrite) { // everyone may read; nobody may set values or create keys
        PSECURITY_DESCRIPTOR sd = nullptr;
        Check(!::ConvertStringSecurityDescriptorToSecurityDescriptorA(
                  "D:(D;;0x6;;;WD)(A;;0x60019;;;WD)", SDDL_REVISION_1, &sd, nullptr),
              "ConvertStringSecurityDescriptorToSecurityDescriptorA");
        Check(::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), "RegSetKeySecurity");
        ::LocalFree(sd);
    }
}

void ReadKey(HKEY key, RegKey &into) {
    char name[16384];
    std::vector<unsigned char> data(65536);
    DWORD length = sizeof name, type, size = static_cast<DWORD>(data.size());
    for (DWORD i = 0; ::RegEnumValueA(key, i, name, &length, nullptr, &type, data.data(), &size) ==
                      ERROR_SUCCESS;
         ++i, length = sizeof name, size = static_cast<DWORD>(data.size()))
        into.SetValue(std::string(name, length), type, {data.begin(), data.begin() + size});
    for (DWORD i = 0; ::RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
        HKEY child;
        Check(::RegOpenKeyExA(key, name, 0, KEY_READ, &child), name);
        ReadKey(child, into.CreateSubkey(name));
        ::RegCloseKey(child);
    }
}

class WineFixture final : public RegistryFixture {
  public:
    // The scratch keys are made first: HKEY_CURRENT_USER itself is redirected.
    WineFixture() : base_("Software\\QuenzelScratch\\" + std::to_string(::GetCurrentProcessId())) {
        for (int i = 0; i < 3; ++i)
            Check(::RegCreateKeyExA(HKEY_CURRENT_USER, (base_ + "\\" + std::to_string(i)).c_str(),
                                    0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch_[i], nullptr),
                  "RegCreateKeyExA");
        for (int i = 0; i < 3; ++i)
            Check(::RegOverridePredefKey(kPredefined[i], scratch_[i]), "RegOverridePredefKey");
    }
    ~WineFixture() override {
        for (int i = 0; i < 3; ++i) {
            ::RegOverridePredefKey(kPredefined[i], nullptr);
            ::RegCloseKey(scratch_[i]);
        }
        ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
    }

    Registry &registry() override { return registry_; }
    void Load(std::string_view regedit4) override {
        RegistryFixture::Load(regedit4);
        for (int i = 0; i < 3; ++i) {
            Check(::RegDeleteTreeA(scratch_[i], nullptr), "RegDeleteTreeA");
            WriteKey(scratch_[i], *memory_.Tree().Root(kRoots[i]));
        }
    }
    std::string Store() override {
        RegTree tree;
        for (int i = 0; i < 3; ++i)
            ReadKey(scratch_[i], *tree.Root(kRoots[i]));
        return Listing(tree);
    }

  private:
    Advapi32Registry registry_;
    const std::string base_;
    HKEY scratch_[3] = {};
};

} // namespace

std::unique_ptr<RegistryFixture> MakeRegistryFixture() {
    return std::make_unique<WineFixture>();
}

} // namespace quenzel
