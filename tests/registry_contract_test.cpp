// What the tool relies on from a registry, checked on whichever provider the fixture supplies:
// the in-memory one natively, advapi32 under Wine.
#include "registry_fixture.h"

#include "../registry/regedit4.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace quenzel {
namespace {

constexpr char kFixture[] = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Enum\SCSI\CdRom0]
"DeviceDesc"="Laufwerk"
"AutoInsertNotification"=hex:01
"Big"=hex:01,02,03,04,05,06,07,08
"Word"=dword:00000095

[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\AudioCD\shell]
@="play"

[HKEY_DYN_DATA\Config Manager\Enum\C29A1B00]
"HardWareKey"="SCSI\\CdRom0"

[HKEY_DYN_DATA\Config Manager\Enum\a0000001]

[HKEY_DYN_DATA\Config Manager\Enum\B0000002]
)";

class RegistryContract : public ::testing::Test {
  protected:
    void SetUp() override {
        fixture = MakeRegistryFixture();
        fixture->Load(kFixture);
        before = ExportRegedit4(fixture->Snapshot());
    }
    Registry &reg() { return fixture->registry(); }
    std::string Now() { return ExportRegedit4(fixture->Snapshot()); }

    RegHandle Open(RegHandle root, const char *path, std::uint32_t access) {
        RegHandle h = 0xdead;
        EXPECT_EQ(error::SUCCESS, reg().RegOpenKeyExA(root, path, 0, access, &h)) << path;
        EXPECT_NE(0u, h);
        return h;
    }

    std::unique_ptr<RegistryFixture> fixture;
    std::string before;
};

TEST_F(RegistryContract, OpenMatchesKeyNamesWithoutRegardToCase) {
    RegHandle h = Open(hkey::LOCAL_MACHINE, "enum\\scsi\\CDROM0", key::QUERY_VALUE);
    unsigned char byte = 0xbd;
    std::uint32_t size = 1, type = 0;
    EXPECT_EQ(error::SUCCESS,
              reg().RegQueryValueExA(h, "autoinsertnotification", &type, &byte, &size));
    EXPECT_EQ(1u, byte);
    EXPECT_EQ(reg::BINARY, type);
    EXPECT_EQ(error::SUCCESS, reg().RegCloseKey(h));
}

TEST_F(RegistryContract, OpeningAMissingKeyFailsAndCreatesNothing) {
    RegHandle h = 0xdead;
    EXPECT_EQ(error::FILE_NOT_FOUND, reg().RegOpenKeyExA(hkey::LOCAL_MACHINE, "Enum\\SCSI\\Missing",
                                                         0, key::SET_VALUE, &h));
    EXPECT_EQ(0u, h);
    EXPECT_EQ(
        error::FILE_NOT_FOUND,
        reg().RegOpenKeyExA(hkey::CURRENT_USER,
                            "software\\microsoft\\windows\\currentversion\\policies\\explorer", 0,
                            key::QUERY_VALUE, &h));
    EXPECT_EQ(before, Now());
}

TEST_F(RegistryContract, AKeyPathEndsAtItsFirstNulAndSkipsEmptyComponents) {
    const std::string path = std::string("Enum\\SCSI\\CdRom0") + '\0' + "\\Nowhere   ";
    RegHandle h = Open(hkey::LOCAL_MACHINE, path.c_str(), key::QUERY_VALUE);
    reg().RegCloseKey(h);
    // A trailing backslash names the key itself, as an empty hardware key after "Enum\" does.
    h = Open(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CdRom0\\", key::QUERY_VALUE);
    reg().RegCloseKey(h);
    h = Open(hkey::LOCAL_MACHINE, "Enum\\", key::QUERY_VALUE);
    reg().RegCloseKey(h);
}

TEST_F(RegistryContract, QueryReadsTheDefaultValueUnderTheEmptyName) {
    RegHandle h = Open(hkey::LOCAL_MACHINE, "SOFTWARE\\Classes\\AudioCD\\shell", key::QUERY_VALUE);
    std::string buffer(256, ' ');
    std::uint32_t size = 256, type = reg::SZ;
    ASSERT_EQ(
        error::SUCCESS,
        reg().RegQueryValueExA(h, "", &type, reinterpret_cast<unsigned char *>(&buffer[0]), &size));
    EXPECT_EQ(5u, size);
    EXPECT_EQ(reg::SZ, type);
    // The text, its NUL, and the spaces the registry left alone.
    EXPECT_EQ(std::string("play") + '\0' + std::string(251, ' '), buffer);
    reg().RegCloseKey(h);
}

TEST_F(RegistryContract, QueryOfAMissingValueOrIntoATooSmallBufferLeavesTheBuffer) {
    RegHandle h = Open(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CdRom0", key::QUERY_VALUE);
    unsigned char buffer[4];
    std::memset(buffer, 0xbd, sizeof buffer);
    std::uint32_t size = 4, type = reg::BINARY;
    EXPECT_EQ(error::FILE_NOT_FOUND, reg().RegQueryValueExA(h, "Nothing", &type, buffer, &size));
    EXPECT_EQ(error::MORE_DATA, reg().RegQueryValueExA(h, "Big", &type, buffer, &size));
    EXPECT_EQ(8u, size);
    for (unsigned char b : buffer)
        EXPECT_EQ(0xbd, b);
    // A value that fits exactly, and a shorter one, fill only their own bytes.
    size = 4;
    EXPECT_EQ(error::SUCCESS, reg().RegQueryValueExA(h, "Word", &type, buffer, &size));
    EXPECT_EQ(reg::DWORD, type);
    EXPECT_EQ(0x95, buffer[0]);
    EXPECT_EQ(0x00, buffer[3]);
    std::memset(buffer, 0xbd, sizeof buffer);
    size = 4;
    EXPECT_EQ(error::SUCCESS,
              reg().RegQueryValueExA(h, "AutoInsertNotification", &type, buffer, &size));
    EXPECT_EQ(1u, size);
    EXPECT_EQ(0x01, buffer[0]);
    EXPECT_EQ(0xbd, buffer[1]);
    reg().RegCloseKey(h);
}

TEST_F(RegistryContract, SetStoresExactlyTheBytesGivenAndKeepsTheStoredSpelling) {
    RegHandle h =
        Open(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CdRom0", key::SET_VALUE | key::QUERY_VALUE);
    const unsigned char zero = 0;
    EXPECT_EQ(error::SUCCESS,
              reg().RegSetValueExA(h, "AUTOINSERTNOTIFICATION", reg::BINARY, &zero, 1));
    EXPECT_EQ(error::SUCCESS, reg().RegSetValueExA(h, "New", reg::SZ,
                                                   reinterpret_cast<const unsigned char *>(""), 1));
    reg().RegCloseKey(h);
    RegTree expected = ParseRegedit4(before);
    RegKey *key = expected.Find(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CdRom0");
    key->SetValue("AutoInsertNotification", reg::BINARY, {0});
    key->SetValue("New", reg::SZ, {0});
    EXPECT_EQ(ExportRegedit4(expected), Now());
}

TEST_F(RegistryContract, EnumListsEverySubkeyOnceThenReportsNoMoreItems) {
    RegHandle h = Open(hkey::DYN_DATA, "Config Manager\\Enum", key::ENUMERATE_SUB_KEYS);
    std::string names;
    std::uint32_t index = 0;
    for (;; ++index) {
        std::string buffer(256, ' ');
        const RegResult rc = reg().RegEnumKeyA(h, index, &buffer[0], 256);
        if (rc != error::SUCCESS) {
            EXPECT_EQ(error::NO_MORE_ITEMS, rc);
            break;
        }
        const std::size_t nul = buffer.find('\0');
        ASSERT_NE(std::string::npos, nul);
        EXPECT_EQ(std::string(255 - nul, ' '), buffer.substr(nul + 1));
        names += buffer.substr(0, nul) + ";";
    }
    EXPECT_EQ(3u, index);
    // Stored spellings, in the order of the names without regard to case.
    EXPECT_EQ("a0000001;B0000002;C29A1B00;", names);
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(error::MORE_DATA, reg().RegEnumKeyA(h, 0, small, 4));
    EXPECT_EQ(std::string(4, 'x'), std::string(small, 4));
    reg().RegCloseKey(h);
}

TEST_F(RegistryContract, AnUnusableHandleFailsAndChangesNothing) {
    RegHandle closed = Open(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CdRom0",
                            key::QUERY_VALUE | key::SET_VALUE | key::ENUMERATE_SUB_KEYS);
    EXPECT_EQ(error::SUCCESS, reg().RegCloseKey(closed));
    for (RegHandle bad : {RegHandle(0), closed}) {
        SCOPED_TRACE(bad);
        unsigned char buffer[4] = {0xbd, 0xbd, 0xbd, 0xbd};
        std::uint32_t size = 4, type = 0;
        EXPECT_NE(error::SUCCESS,
                  reg().RegQueryValueExA(bad, "AutoInsertNotification", &type, buffer, &size));
        EXPECT_EQ(0xbd, buffer[0]);
        EXPECT_NE(error::SUCCESS, reg().RegSetValueExA(bad, "X", reg::BINARY, buffer, 4));
        char name[8] = "keep";
        EXPECT_NE(error::SUCCESS, reg().RegEnumKeyA(bad, 0, name, 8));
        EXPECT_STREQ("keep", name);
        EXPECT_NE(error::SUCCESS, reg().RegCloseKey(bad));
    }
    EXPECT_EQ(before, Now());
}

TEST_F(RegistryContract, AHandleServesOnlyTheAccessItWasOpenedFor) {
    RegHandle h = Open(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CdRom0", key::QUERY_VALUE);
    const unsigned char byte = 0;
    EXPECT_EQ(error::ACCESS_DENIED,
              reg().RegSetValueExA(h, "AutoInsertNotification", reg::BINARY, &byte, 1));
    reg().RegCloseKey(h);
    h = Open(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CdRom0", key::SET_VALUE);
    unsigned char buffer = 0xbd;
    std::uint32_t size = 1, type = 0;
    EXPECT_EQ(error::ACCESS_DENIED,
              reg().RegQueryValueExA(h, "AutoInsertNotification", &type, &buffer, &size));
    EXPECT_EQ(0xbd, buffer);
    reg().RegCloseKey(h);
    EXPECT_EQ(before, Now());
}

TEST_F(RegistryContract, AKeyThatDeniesWritingCannotBeOpenedForIt) {
    if (!fixture->DenyWrite(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CdRom0"))
        GTEST_SKIP() << fixture->Name() << " does not enforce key security";
    RegHandle h = 0xdead;
    EXPECT_EQ(error::ACCESS_DENIED, reg().RegOpenKeyExA(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CdRom0",
                                                        0, key::SET_VALUE, &h));
    h = Open(hkey::LOCAL_MACHINE, "Enum\\SCSI\\CdRom0", key::QUERY_VALUE);
    reg().RegCloseKey(h);
}

} // namespace
} // namespace quenzel
