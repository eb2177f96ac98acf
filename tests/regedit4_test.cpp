// Reading and writing registry fixtures as REGEDIT4 text.
#include "../registry/regedit4.h"

#include <gtest/gtest.h>

namespace quenzel {
namespace {

TEST(Regedit4, ReadsEveryValueFormAndWritesItBack) {
    const std::string text = "REGEDIT4\n"
                             "\n[HKEY_CURRENT_USER\\Software\\A \"quoted\" key]\n"
                             "@=\"play\"\n"
                             "\"Back\\\\slash\"=\"say \\\"hi\\\"\"\n"
                             "\"Bin\"=hex:95,00,00,00\n"
                             "\"Word\"=dword:00000095\n"
                             "\"Nul\"=hex(1):70,00,6c,00\n"
                             "\"Ger\xE4t\"=\"Laufwerk f\xFCr CDs\"\n"
                             "\n[HKEY_DYN_DATA\\Config Manager\\Enum]\n";
    const RegTree tree = ParseRegedit4(text);
    const RegKey *key = tree.Find(hkey::CURRENT_USER, "software\\A \"QUOTED\" KEY");
    ASSERT_NE(nullptr, key);
    EXPECT_EQ((std::vector<unsigned char>{'p', 'l', 'a', 'y', 0}), key->FindValue("")->data);
    EXPECT_EQ(reg::SZ, key->FindValue("back\\slash")->type);
    EXPECT_EQ(reg::BINARY, key->FindValue("BIN")->type);
    EXPECT_EQ((std::vector<unsigned char>{0x95, 0, 0, 0}), key->FindValue("word")->data);
    EXPECT_EQ(reg::DWORD, key->FindValue("word")->type);
    EXPECT_EQ(4u, key->FindValue("nul")->data.size());
    EXPECT_NE(nullptr, key->FindValue("GER\xC4T"));
    EXPECT_NE(nullptr, tree.Find(hkey::DYN_DATA, "config manager\\enum"));
    EXPECT_EQ(nullptr, tree.Find(hkey::DYN_DATA, "config manager\\enum\\x"));
    // Export then import gives the same tree.
    const std::string exported = ExportRegedit4(tree);
    EXPECT_EQ(exported, ExportRegedit4(ParseRegedit4(exported)));
    EXPECT_NE(std::string::npos, exported.find("\"Nul\"=hex(1):70,00,6c,00\n"));
    EXPECT_NE(std::string::npos, exported.find("\"Back\\\\slash\"=\"say \\\"hi\\\"\"\n"));
}

TEST(Regedit4, RemovesKeysAndValuesAndJoinsContinuedHexLines) {
    RegTree tree = ParseRegedit4("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Enum\\A\\B]\n\"x\"=hex:01\n"
                                 "[HKEY_LOCAL_MACHINE\\Enum\\C]\n\"y\"=\"1\"\n\"z\"=hex:01,\\\n"
                                 "  02,03\n");
    ImportRegedit4(tree, "REGEDIT4\r\n[-HKEY_LOCAL_MACHINE\\Enum\\A]\r\n"
                         "[HKEY_LOCAL_MACHINE\\Enum\\C]\r\n\"y\"=-\r\n");
    EXPECT_EQ(nullptr, tree.Find(hkey::LOCAL_MACHINE, "Enum\\A"));
    const RegKey *c = tree.Find(hkey::LOCAL_MACHINE, "Enum\\C");
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(nullptr, c->FindValue("y"));
    EXPECT_EQ((std::vector<unsigned char>{1, 2, 3}), c->FindValue("z")->data);
}

TEST(Regedit4, NamesTheLineItCannotRead) {
    const char *bad[] = {
        "[HKEY_LOCAL_MACHINE\\X]\n",                          // no header
        "REGEDIT4\n\"x\"=hex:01\n",                           // value outside a key
        "REGEDIT4\n[HKEY_NOWHERE\\X]\n",                      // unknown root
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"x\"=hex:0g\n",  // bad hex
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"x\"=dword:1\n", // short dword
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"x=\"1\"\n",     // unterminated name
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X\n",                 // unclosed section
    };
    for (const char *text : bad) {
        SCOPED_TRACE(text);
        EXPECT_THROW(ParseRegedit4(text), Regedit4Error);
    }
    try {
        ParseRegedit4("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\X]\nnonsense\n");
        FAIL();
    } catch (const Regedit4Error &e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("line 4"));
    }
}

TEST(RegTree, FoldsWindows1252LettersAndKeepsStoredSpellings) {
    EXPECT_EQ(FoldName("ger\xE4t \xFF"), FoldName("GER\xC4T \x9F"));
    EXPECT_NE(FoldName("\xF7"), FoldName("\xD7")); // division and multiplication signs
    RegKey key;
    key.CreateSubkey("Beta");
    key.CreateSubkey("alpha");
    key.CreateSubkey("BETA");
    key.SetValue("Mixed", reg::SZ, {0});
    key.SetValue("MIXED", reg::BINARY, {1});
    ASSERT_EQ(2u, key.subkeys.size());
    EXPECT_EQ("alpha", key.subkeys[0]->name);
    EXPECT_EQ("Beta", key.subkeys[1]->name);
    ASSERT_EQ(1u, key.values.size());
    EXPECT_EQ("Mixed", key.values[0].name);
    EXPECT_EQ(reg::BINARY, key.values[0].type);
}

} // namespace
} // namespace quenzel
