// The real Form1 on a scratch registry, driven through the messages the system would send, on
// the W and on the A path; what the window shows and is sent on the way is recorded.
#pragma once

#include "../registry_fixture.h"

#include "../../window/form1.h"
#include "../../window/text_api.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace quenzel {

// What a message box showed; the fixture closes each with OK as soon as it is shown.
struct SeenMessageBox {
    std::wstring caption, text;
    HWND owner;
    bool ownerEnabled, hasOk, hasCancel;
    HICON icon;
};

// Recorded since the last FormTest::Start: the message boxes, the label as the window was first
// shown, and the areas of the WM_SETTINGCHANGE broadcasts the window received.
struct Seen {
    std::vector<SeenMessageBox> messageBoxes;
    std::wstring labelWhenShown;
    std::vector<std::wstring> settingChanges;
};
extern Seen gSeen;

std::wstring WindowText(HWND window);
RECT RectIn(HWND control, HWND parent);
// The colour and mask bits of an icon, one after the other.
std::vector<char> IconBits(HICON icon);

class FormTest : public ::testing::TestWithParam<text::Path> {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the registry, creates Form1 (which reads it) and shows it; clears the records.
    void Start(const std::string &regedit4 = kWin95);

    HWND Form() const { return form->Window(); }
    HWND Check(int index) const { return form->Control(ControlKind::CheckBox, index); }
    HWND Command(int index) const { return form->Control(ControlKind::PushButton, index); }
    HWND Label() const { return form->Control(ControlKind::Label, 0); }

    // The eight boxes by index, "0"/"1" as BM_GETCHECK reports them.
    std::string Boxes() const;
    // A key pressed and released on the focused control and handed to the dialog manager as the
    // message loop does; returns whether the dialog manager took the key down.
    bool Key(UINT virtualKey, bool shift = false);
    // Alt and a letter: the WM_SYSCHAR that TranslateMessage makes of it.
    bool AltLetter(wchar_t letter);
    // Runs what is queued; true when WM_QUIT was among it.
    bool Drain();
    std::string Store() { return registry->Store(); }

    std::unique_ptr<RegistryFixture> registry;
    std::unique_ptr<Form1> form;
    std::string before; // the store as loaded

  private:
    HHOOK hooks_[2] = {};
};

} // namespace quenzel
