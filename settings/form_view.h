// What the settings engine sees of the main window: the eight check boxes and the device label.
#pragma once

#include <string>

namespace quenzel {

class FormView {
  public:
    virtual ~FormView() = default;
    // Check1(index).Value: 0 unchecked, 1 checked (2, greyed, counts as checked).
    virtual int Value(int index) = 0;
    // An assignment that changes the value raises the click notification for that index before
    // it returns; one that keeps the value raises none.
    virtual void SetValue(int index, int value) = 0;
    // Label1.Caption, as 8-bit text in the system's ANSI code page.
    virtual void SetLabel1Caption(const std::string &ansiText) = 0;
    // Label1 says that "&aktiv" switches all CD-ROM drives at once, effective after a restart.
    virtual void ShowAllDrivesNote() = 0;
    virtual void SetCheckEnabled(int index, bool enabled) = 0;
};

} // namespace quenzel
