// The scratch registry of the tests under Wine: advapi32, with HKEY_CURRENT_USER,
// HKEY_LOCAL_MACHINE and HKEY_DYN_DATA redirected into scratch keys of this process.
#include "registry_fixture.h"

#include "../registry/advapi32_registry.h"

#include <windows.h>

#include <sddl.h>

#include <stdexcept>
#include <vector>

namespace quenzel {

namespace {

constexpr RegHandle kRoots[] = {hkey::CURRENT_USER, hkey::LOCAL_MACHINE, hkey::DYN_DATA};

HKEY Predefined(RegHandle root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

void Check(LONG rc, const char *what) {
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed: " + std::to_string(rc));
}

void WriteKey(HKEY parent, const RegKey &key) {
    for (const auto &[name, value] : key.values)
        Check(::RegSetValueExA(parent, name.c_str(), 0, value.type, value.data.data(),
                               static_cast<DWORD>(value.data.size())),
              "RegSetValueExA");
    for (const auto &[name, sub] : key.subkeys) {
        HKEY child;
        Check(::RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &child, nullptr),
              "RegCreateKeyExA");
        WriteKey(child, sub);
        ::RegCloseKey(child);
    }
}

void ReadKey(HKEY key, RegKey &into) {
    char name[16384];
    DWORD length = sizeof name, type, size;
    for (DWORD i = 0;
         ::RegEnumValueA(key, i, name, &length, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
         ++i, length = sizeof name) {
        std::vector<unsigned char> data(size + 1);
        length = sizeof name;
        Check(::RegEnumValueA(key, i, name, &length, nullptr, &type, data.data(), &size),
              "RegEnumValueA");
        data.resize(size);
        into.SetValue(std::string(name, length), type, data);
    }
    for (DWORD i = 0; ::RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
        HKEY child;
        Check(::RegOpenKeyExA(key, name, 0, KEY_READ, &child), "RegOpenKeyExA");
        ReadKey(child, into.CreateSubkey(name));
        ::RegCloseKey(child);
    }
}

class WineFixture final : public RegistryFixture {
  public:
    WineFixture() {
        base_ = "Software\\QuenzelScratch\\" + std::to_string(::GetCurrentProcessId());
        for (int i = 0; i < 3; ++i)
            Check(::RegCreateKeyExA(HKEY_CURRENT_USER, (base_ + "\\" + std::to_string(i)).c_str(),
                                    0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch_[i], nullptr),
                  "RegCreateKeyExA");
        for (int i = 0; i < 3; ++i) // only now: HKEY_CURRENT_USER itself is redirected
            Check(::RegOverridePredefKey(Predefined(kRoots[i]), scratch_[i]),
                  "RegOverridePredefKey");
    }
    ~WineFixture() override {
        for (int i = 0; i < 3; ++i) {
            ::RegOverridePredefKey(Predefined(kRoots[i]), nullptr);
            ::RegCloseKey(scratch_[i]);
        }
        ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
    }

    Registry &registry() override { return registry_; }

    void Load(std::string_view regedit4) override {
        RegTree tree;
        ImportRegedit4(tree, regedit4);
        for (int i = 0; i < 3; ++i) {
            Check(::RegDeleteTreeA(scratch_[i], nullptr), "RegDeleteTreeA");
            WriteKey(scratch_[i], *tree.Root(kRoots[i]));
        }
    }

    // Everyone may read; nobody may write values (KEY_SET_VALUE) or create keys
    // (KEY_CREATE_SUB_KEY). KEY_READ and WRITE_DAC stay allowed.
    bool DenyWrite(RegHandle root, const std::string &path) override {
        HKEY key;
        if (::RegOpenKeyExA(Scratch(root), path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS)
            return false;
        PSECURITY_DESCRIPTOR sd = nullptr;
        const bool set = ::ConvertStringSecurityDescriptorToSecurityDescriptorA(
                             "D:(D;;0x6;;;WD)(A;;0x60019;;;WD)", SDDL_REVISION_1, &sd, nullptr) &&
                         ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
        ::LocalFree(sd);
        ::RegCloseKey(key);
        return set;
    }

    RegTree Snapshot() override {
        RegTree tree;
        for (int i = 0; i < 3; ++i)
            ReadKey(scratch_[i], *tree.Root(kRoots[i]));
        return tree;
    }

    long OpenHandles() override { return -1; }

  private:
    HKEY Scratch(RegHandle root) const {
        for (int i = 0; i < 3; ++i)
            if (kRoots[i] == root)
                return scratch_[i];
        return nullptr;
    }

    Advapi32Registry registry_;
    std::string base_;
    HKEY scratch_[3] = {};
};

} // namespace

std::unique_ptr<RegistryFixture> MakeRegistryFixture() {
    return std::make_unique<WineFixture>();
}

} // namespace quenzel
