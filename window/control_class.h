// The window class and style of each kind of control in the control table.
#pragma once

#include "controls.h"

#include <windows.h>

namespace quenzel {

struct ControlClass {
    const wchar_t *className;
    DWORD style;
};

// Check boxes are BS_CHECKBOX, not automatic: the window toggles them itself, so that a click
// and an assignment raise Check1_Click the same way, once. No button is BS_DEFPUSHBUTTON.
// No control clips its siblings and a group box paints only its edge and caption, so a frame may
// come before or after its contents in creation (tab) order.
inline ControlClass ClassOf(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
    case ControlKind::GroupFrame:
        return {L"BUTTON", child | BS_GROUPBOX};
    case ControlKind::Label:
        return {L"STATIC", child | SS_LEFT | SS_NOPREFIX};
    case ControlKind::Picture: // keeps the table's size, which is the icon's, and draws it centred
        return {L"STATIC", child | SS_ICON | SS_CENTERIMAGE};
    case ControlKind::CheckBox:
        return {L"BUTTON", child | WS_TABSTOP | BS_CHECKBOX};
    case ControlKind::PushButton:
        return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON};
    }
    return {L"STATIC", child};
}

} // namespace quenzel
