// What the tool relies on from a registry, checked on whichever provider the fixture supplies:
// the in-memory one natively, advapi32 under Wine.
#include "registry_fixture.h"

#include <gtest/gtest.h>

namespace quenzel {
namespace {

constexpr char kStore[] = R"(REGEDIT4
[HKEY_LOCAL_MACHINE\Enum\SCSI\CdRom0]
"AutoInsertNotification"=hex:01
"Big"=hex:01,02,03,04,05,06,07,08
"Word"=dword:00000095
[HKEY_LOCAL_MACHINE\Enum\Locked]
"x"=hex:01
[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\AudioCD\shell]
@="play"
[HKEY_DYN_DATA\Config Manager\Enum\C29A1B00]
[HKEY_DYN_DATA\Config Manager\Enum\a0000001]
[HKEY_DYN_DATA\Config Manager\Enum\B0000002]
)";
const std::string kStoreText = kStore + std::string("[HKEY_LOCAL_MACHINE\\Enum\\Ger\xE4t]\n");
constexpr char kDevice[] = "Enum\\SCSI\\CdRom0";

class RegistryContract : public ::testing::Test {
  protected:
    void SetUp() override {
        fixture->Load(kStoreText);
        before = fixture->Store();
    }
    Registry &reg() { return fixture->registry(); }
    RegHandle Open(RegHandle root, const std::string &path, std::uint32_t access) {
        RegHandle h = 0;
        EXPECT_EQ(error::SUCCESS, reg().RegOpenKeyExA(root, path.c_str(), 0, access, &h)) << path;
        return h;
    }
    RegResult Query(RegHandle h, const char *name, std::string &buffer, std::uint32_t *type) {
        auto size = static_cast<std::uint32_t>(buffer.size());
        return reg().RegQueryValueExA(h, name, type, reinterpret_cast<unsigned char *>(&buffer[0]),
                                      &size);
    }

    std::unique_ptr<RegistryFixture> fixture = MakeRegistryFixture();
    std::string before;
};

// Every failure returns its code, leaves the caller's buffer as it was and changes no key.
TEST_F(RegistryContract, EachFailureLeavesBufferAndStoreAlone) {
    ASSERT_TRUE(fixture->DenyWrite(hkey::LOCAL_MACHINE, "Enum\\Locked"));
    before = fixture->Store();
    const RegHandle read = Open(hkey::LOCAL_MACHINE, kDevice, key::QUERY_VALUE);
    const RegHandle write = Open(hkey::LOCAL_MACHINE, kDevice, key::SET_VALUE);
    const RegHandle list = Open(hkey::DYN_DATA, "Config Manager\\Enum", key::ENUMERATE_SUB_KEYS);
    const RegHandle closed = Open(hkey::LOCAL_MACHINE, kDevice,
                                  key::QUERY_VALUE | key::SET_VALUE | key::ENUMERATE_SUB_KEYS);
    ASSERT_EQ(error::SUCCESS, reg().RegCloseKey(closed));
    enum Op { kOpen, kQuery, kSet, kEnum };
    const struct {
        const char *what;
        Op op;
        RegHandle key;
        const char *name;     // the path to open or the value to query
        std::uint32_t number; // the access to open with, or the index to enumerate
        RegResult expected;
        std::uint32_t sizeAfter; // the size a query reports back
    } failures[] = {
        {"open a missing key", kOpen, hkey::LOCAL_MACHINE, "Enum\\SCSI\\Missing", key::SET_VALUE,
         error::FILE_NOT_FOUND, 4},
        {"open a protected key for writing", kOpen, hkey::LOCAL_MACHINE, "Enum\\Locked",
         key::SET_VALUE, error::ACCESS_DENIED, 4},
        {"open below a closed key", kOpen, closed, "", key::QUERY_VALUE, error::INVALID_HANDLE, 4},
        {"query a missing value", kQuery, read, "Nothing", 0, error::FILE_NOT_FOUND, 4},
        {"query into a too small buffer", kQuery, read, "Big", 0, error::MORE_DATA, 8},
        {"query without read access", kQuery, write, "Word", 0, error::ACCESS_DENIED, 4},
        {"query a closed key", kQuery, closed, "Word", 0, error::INVALID_HANDLE, 4},
        {"query handle 0", kQuery, 0, "Word", 0, error::INVALID_HANDLE, 4},
        {"set without write access", kSet, read, "", 0, error::ACCESS_DENIED, 4},
        {"set a closed key", kSet, closed, "", 0, error::INVALID_HANDLE, 4},
        {"enumerate past the end", kEnum, list, "", 3, error::NO_MORE_ITEMS, 4},
        {"enumerate into a too small buffer", kEnum, list, "", 0, error::MORE_DATA, 4},
        {"enumerate without access", kEnum, read, "", 0, error::ACCESS_DENIED, 4},
        {"enumerate a closed key", kEnum, closed, "", 0, error::INVALID_HANDLE, 4},
    };
    for (const auto &f : failures) {
        SCOPED_TRACE(f.what);
        unsigned char buffer[4] = {0xbd, 0xbd, 0xbd, 0xbd};
        std::uint32_t size = 4, type = 0;
        RegHandle opened = 0xbd;
        RegResult rc = error::SUCCESS;
        switch (f.op) {
        case kOpen:
            rc = reg().RegOpenKeyExA(f.key, f.name, 0, f.number, &opened);
            EXPECT_EQ(0u, opened) << "the handle is cleared";
            break;
        case kQuery:
            rc = reg().RegQueryValueExA(f.key, f.name, &type, buffer, &size);
            break;
        case kSet:
            rc = reg().RegSetValueExA(f.key, "AutoInsertNotification", reg::BINARY, buffer, 1);
            break;
        case kEnum:
            rc = reg().RegEnumKeyA(f.key, f.number, reinterpret_cast<char *>(buffer), 4);
            break;
        }
        EXPECT_EQ(f.expected, rc);
        EXPECT_EQ(f.sizeAfter, size);
        EXPECT_EQ(std::string(4, '\xbd'), std::string(reinterpret_cast<char *>(buffer), 4));
    }
    EXPECT_EQ(error::INVALID_HANDLE, reg().RegCloseKey(closed));
    for (RegHandle h : {read, write, list})
        EXPECT_EQ(error::SUCCESS, reg().RegCloseKey(h));
    EXPECT_EQ(before, fixture->Store());
}

TEST_F(RegistryContract, NamesMatchWithoutCaseAndPathsEndAtTheirFirstNul) {
    for (const std::string &path :
         {std::string("enum\\scsi\\CDROM0"), std::string(kDevice) + '\0' + "\\Nowhere   ",
          std::string(kDevice) + "\\"}) {
        const RegHandle h = Open(hkey::LOCAL_MACHINE, path, key::QUERY_VALUE);
        std::string buffer(4, '\xbd');
        std::uint32_t type = 0;
        EXPECT_EQ(error::SUCCESS, Query(h, "autoinsertNOTIFICATION", buffer, &type));
        EXPECT_EQ(reg::BINARY, type);
        EXPECT_EQ(std::string("\x01\xbd\xbd\xbd"), buffer) << "only the value's own byte";
        reg().RegCloseKey(h);
    }
    // Windows-1252 letters too.
    RegHandle h = Open(hkey::LOCAL_MACHINE, "ENUM\\GER\xC4T", key::QUERY_VALUE);
    EXPECT_EQ(error::SUCCESS, reg().RegCloseKey(h));
    // The default value, its NUL, and the buffer's own bytes behind them.
    h = Open(hkey::LOCAL_MACHINE, "SOFTWARE\\Classes\\AudioCD\\shell", key::QUERY_VALUE);
    std::string buffer(8, ' ');
    std::uint32_t type = 0;
    EXPECT_EQ(error::SUCCESS, Query(h, "", buffer, &type));
    EXPECT_EQ(reg::SZ, type);
    EXPECT_EQ(std::string("play\0   ", 8), buffer);
    reg().RegCloseKey(h);
}

TEST_F(RegistryContract, SetStoresExactlyTheBytesUnderTheStoredSpelling) {
    const RegHandle h = Open(hkey::LOCAL_MACHINE, kDevice, key::SET_VALUE);
    const unsigned char bytes[] = {0, 'x'};
    EXPECT_EQ(error::SUCCESS,
              reg().RegSetValueExA(h, "AUTOINSERTNOTIFICATION", reg::BINARY, bytes, 1));
    EXPECT_EQ(error::SUCCESS, reg().RegSetValueExA(h, "New", reg::BINARY, bytes + 1, 1));
    EXPECT_EQ(error::SUCCESS, reg().RegCloseKey(h));
    RegTree expected;
    ImportRegedit4(expected, kStoreText + "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\CdRom0]\n"
                                          "\"AutoInsertNotification\"=hex:00\n"
                                          "\"New\"=hex:78\n");
    EXPECT_EQ(Listing(expected), fixture->Store());
}

TEST_F(RegistryContract, EnumListsEachSubkeyOnceInCaseFoldedOrder) {
    const RegHandle h = Open(hkey::DYN_DATA, "Config Manager\\Enum", key::ENUMERATE_SUB_KEYS);
    std::string names;
    for (std::uint32_t index : {0, 1, 2, 1}) {
        std::string buffer(16, ' ');
        ASSERT_EQ(error::SUCCESS, reg().RegEnumKeyA(h, index, &buffer[0], 16));
        names += buffer + "|";
    }
    EXPECT_EQ(std::string("a0000001\0       |B0000002\0       |C29A1B00\0       |"
                          "B0000002\0       |",
                          68),
              names);
    reg().RegCloseKey(h);
}

} // namespace
} // namespace quenzel
