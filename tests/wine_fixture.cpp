// The scratch registry under Wine: advapi32 with the three roots redirected into scratch keys.
#include "registry_fixture.h"

#include "../registry/advapi32_registry.h"

#include <windows.h>

#include <sddl.h>

#include <stdexcept>

namespace quenzel {

namespace {

// HKEY_CURRENT_USER last: the scratch keys are made under it before it is redirected.
constexpr RegHandle kRoots[] = {hkey::LOCAL_MACHINE, hkey::DYN_DATA, hkey::CURRENT_USER};
const HKEY kPredefined[] = {HKEY_LOCAL_MACHINE, HKEY_DYN_DATA, HKEY_CURRENT_USER};

void Check(LONG rc, const std::string &what) {
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error(what + " failed: " + std::to_string(rc));
}

// A write that fails shows in the store the test compares.
void WriteKey(HKEY key, const RegKey &from) {
    for (const auto &[name, value] : from.values)
        ::RegSetValueExA(key, name.c_str(), 0, value.type, value.data.data(),
                         static_cast<DWORD>(value.data.size()));
    for (const auto &[name, sub] : from.subkeys) {
        HKEY child = nullptr;
        ::RegCreateKeyA(key, name.c_str(), &child);
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
    static BYTE data[65536];
    DWORD length, type, size;
    for (DWORD i = 0; length = sizeof name, size = sizeof data,
               !::RegEnumValueA(key, i, name, &length, nullptr, &type, data, &size);
         ++i)
        into.SetValue(std::string(name, length), type, {data, data + size});
    for (DWORD i = 0; !::RegEnumKeyA(key, i, name, sizeof name); ++i) {
        HKEY child;
        Check(::RegOpenKeyA(key, name, &child), name);
        ReadKey(child, into.CreateSubkey(name));
        ::RegCloseKey(child);
    }
}

struct WineFixture final : RegistryFixture {
    WineFixture() : base_("Software\\QuenzelScratch\\" + std::to_string(::GetCurrentProcessId())) {
        for (int i = 0; i < 3; ++i) {
            const std::string path = base_ + "\\" + std::to_string(i);
            Check(::RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &scratch_[i]), path);
            Check(::RegOverridePredefKey(kPredefined[i], scratch_[i]), "RegOverridePredefKey");
        }
    }
    ~WineFixture() override {
        for (int i = 0; i < 3; ++i)
            ::RegOverridePredefKey(kPredefined[i], nullptr), ::RegCloseKey(scratch_[i]);
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
    Advapi32Registry registry_;
    const std::string base_;
    HKEY scratch_[3] = {};
};

} // namespace

std::unique_ptr<RegistryFixture> MakeRegistryFixture() {
    return std::make_unique<WineFixture>();
}

} // namespace quenzel
