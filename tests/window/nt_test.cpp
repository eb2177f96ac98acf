// The window on a system without the device list, as the NT family is: "&aktiv" stands for the
// Cdrom driver's "AutoRun", and is disabled when there is nothing it could switch.
#include "form_fixture.h"

#include "../../window/texts.h"

namespace quenzel {
namespace {

const std::string kNt =
    "REGEDIT4\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\n"
    "\"NoDriveTypeAutoRun\"=hex:91,00,00,00\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AudioCD\\shell]\n"
    "@=\"play\"\n";
const std::string kService = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Cdrom]\n"
                             "\"Start\"=dword:00000001\n";

using NtTest = FormTest;

void Click(HWND control) {
    ::SendMessageW(control, BM_CLICK, 0, 0);
}

std::string With(const std::string &store, const std::string &changes) {
    RegTree tree = ParseRegedit4(store);
    ImportRegedit4(tree, "REGEDIT4\n" + changes);
    return ExportRegedit4(tree);
}

TEST_P(NtTest, TheCdromDriverSwitchIsShownAndWrittenOnlyAsStated) {
    const struct {
        const char *value;
        const char *boxes;     // after the start
        const char *leftAlone; // "AutoRun" after OK with the box untouched ("" unchanged)
        const char *toggled;   // after OK with the box toggled
    } cases[] = {
        {"\"AutoRun\"=dword:00000000\n", "10110111", "", "\"AutoRun\"=dword:00000001\n"},
        {"\"AutoRun\"=dword:00000001\n", "11110111", "", "\"AutoRun\"=dword:00000000\n"},
        {"\"AutoRun\"=dword:00000002\n", "11110111", "\"AutoRun\"=dword:00000001\n",
         "\"AutoRun\"=dword:00000000\n"},
        {"", "11110111", "", "\"AutoRun\"=dword:00000000\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        const std::string loaded = kNt + kService + c.value;
        Start(loaded);
        EXPECT_EQ(c.boxes, Boxes());
        EXPECT_TRUE(::IsWindowEnabled(Check(kMediaChange)));
        EXPECT_EQ(std::wstring(texts::kAllDrivesNote), WindowText(Label()));
        Click(Command(3));
        EXPECT_TRUE(Drain());
        EXPECT_EQ(before, Store()) << "Abbrechen";

        Start(loaded);
        Click(Command(2));
        EXPECT_TRUE(Drain());
        EXPECT_EQ(With(before, *c.leftAlone ? kService + c.leftAlone : ""), Store())
            << "OK, box left alone";

        Start(loaded);
        Click(Check(kMediaChange));
        Click(Command(2));
        EXPECT_TRUE(Drain());
        EXPECT_EQ(With(before, kService + c.toggled), Store()) << "OK, box toggled";
    }
}

TEST_P(NtTest, WithoutTheDriverKeyAktivIsDisabledAndNothingIsWrittenForIt) {
    Start(kNt);
    EXPECT_FALSE(::IsWindowEnabled(Check(kMediaChange)));
    EXPECT_EQ('0', Boxes()[kMediaChange]);
    Click(Command(1)); // "&Standard" leaves it alone
    EXPECT_FALSE(::IsWindowEnabled(Check(kMediaChange)));
    EXPECT_EQ('0', Boxes()[kMediaChange]);
    Click(Command(2));
    EXPECT_TRUE(Drain());
    EXPECT_EQ(With(before, "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                           "Policies\\Explorer]\n\"NoDriveTypeAutoRun\"=hex:95,00,00,00\n"),
              Store());
}

INSTANTIATE_TEST_SUITE_P(Paths, NtTest, ::testing::Values(text::Path::Wide, text::Path::Ansi),
                         PathName);

} // namespace
} // namespace quenzel
