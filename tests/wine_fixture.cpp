// The scratch registry of the tests under Wine: advapi32, with HKEY_CURRENT_USER,
// HKEY_LOCAL_MACHINE and HKEY_DYN_DATA redirected into scratch keys of this process.
#include "registry_fixture.h"

#include "../registry/advapi32_registry.h"
#include "../registry/regedit4.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

namespace quenzel {

namespace {

constexpr RegHandle kRoots[] = {hkey::CURRENT_USER, hkey::LOCAL_MACHINE, hkey::DYN_DATA};

HKEY PredefinedKey(RegHandle root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

void Check(LONG rc, const char *what) {
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed: " + std::to_string(rc));
}

void WriteKey(HKEY parent, const RegKey &key) {
    for (const RegValue &value : key.values)
        Check(::RegSetValueExA(parent, value.name.c_str(), 0, value.type, value.data.data(),
                               static_cast<DWORD>(value.data.size())),
              "RegSetValueExA");
    for (const auto &sub : key.subkeys) {
        HKEY child;
        Check(::RegCreateKeyExA(parent, sub->name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &child, nullptr),
              "RegCreateKeyExA");
        WriteKey(child, *sub);
        ::RegCloseKey(child);
    }
}

void ReadKey(HKEY key, RegKey &into) {
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameLength = sizeof name, type = 0, size = 0;
        if (::RegEnumValueA(key, i, name, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        std::vector<unsigned char> data(size ? size : 1);
        nameLength = sizeof name;
        Check(::RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data.data(), &size),
              "RegEnumValueA");
        data.resize(size);
        into.SetValue(std::string(name, nameLength), type, std::move(data));
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLength = sizeof name;
        if (::RegEnumKeyExA(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        HKEY child;
        Check(::RegOpenKeyExA(key, name, 0, KEY_READ, &child), "RegOpenKeyExA");
        ReadKey(child, into.CreateSubkey(std::string(name, nameLength)));
        ::RegCloseKey(child);
    }
}

class WineFixture final : public RegistryFixture {
  public:
    WineFixture() {
        static int instances = 0;
        base_ = "Software\\QuenzelScratch\\" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(++instances);
        const std::string base = base_ + "\\";
        const char *names[] = {"HKCU", "HKLM", "HKDD"};
        for (int i = 0; i < 3; ++i) {
            Check(::RegCreateKeyExA(HKEY_CURRENT_USER, (base + names[i]).c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &scratch_[i], nullptr),
                  "RegCreateKeyExA scratch");
        }
        for (int i = 0; i < 3; ++i)
            Check(::RegOverridePredefKey(PredefinedKey(kRoots[i]), scratch_[i]),
                  "RegOverridePredefKey");
    }
    ~WineFixture() override {
        for (RegHandle root : kRoots)
            ::RegOverridePredefKey(PredefinedKey(root), nullptr);
        for (HKEY key : scratch_) {
            ::RegDeleteTreeA(key, nullptr);
            ::RegCloseKey(key);
        }
        ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
    }

    Registry &registry() override { return registry_; }

    void Load(std::string_view regedit4) override {
        const RegTree tree = ParseRegedit4(regedit4);
        for (int i = 0; i < 3; ++i) {
            Check(::RegDeleteTreeA(scratch_[i], nullptr), "RegDeleteTreeA");
            WriteKey(scratch_[i], *tree.Root(kRoots[i]));
        }
    }

    bool DenyWrite(RegHandle root, std::string_view path) override {
        HKEY key;
        if (::RegOpenKeyExA(ScratchOf(root), std::string(path).c_str(), 0, WRITE_DAC, &key) !=
            ERROR_SUCCESS)
            return false;
        // Everyone may read; nobody may write values.
        SECURITY_DESCRIPTOR sd;
        ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        alignas(DWORD) BYTE aclBuffer[256];
        auto *acl = reinterpret_cast<PACL>(aclBuffer);
        ::InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        ::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        ::AddAccessDeniedAce(acl, ACL_REVISION, KEY_SET_VALUE | KEY_CREATE_SUB_KEY, everyone);
        ::AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ | WRITE_DAC, everyone);
        ::SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
        const LONG rc = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
        ::FreeSid(everyone);
        ::RegCloseKey(key);
        if (rc != ERROR_SUCCESS)
            return false;
        // Only a registry that enforces it counts.
        if (::RegOpenKeyExA(ScratchOf(root), std::string(path).c_str(), 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            ::RegCloseKey(key);
            return false;
        }
        return true;
    }

    RegTree Snapshot() override {
        RegTree tree;
        for (int i = 0; i < 3; ++i)
            ReadKey(scratch_[i], *tree.Root(kRoots[i]));
        return tree;
    }

    long OpenHandles() override { return -1; }
    const char *Name() const override { return "advapi32"; }

  private:
    HKEY ScratchOf(RegHandle root) const {
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
