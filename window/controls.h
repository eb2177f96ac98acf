// The controls of Form1 as data, in creation order, which the dialog manager takes as tab order.
#pragma once

#include <array>
#include <cstddef>

namespace quenzel {

enum class ControlKind { GroupFrame, Label, Picture, CheckBox, PushButton };

constexpr int kInWindow = -1; // container: the window's client area rather than a Frame1

// One control, in twips (1/1440 inch). Left and Top count from the container's top-left corner:
// the client area, or the outer corner of the Frame1 member the control sits in. The rows stand in
// tab order, the pictures, which take no focus, last.
struct ControlRow {
    ControlKind kind; // the control array: Check1, Command1, Frame1, Image1 or Label1
    int index;        // its member of that array
    int frame;        // index of the containing Frame1, or kInWindow
    const wchar_t *caption;
    int left, top, width, height;
};

constexpr int kClientWidthTwips = 4935;
constexpr int kClientHeightTwips = 3615;
constexpr int kTwipsPerInch = 1440;
constexpr std::size_t kControlCount = 24;
constexpr int kCommandCount = 4; // the members of Command1

extern const std::array<ControlRow, kControlCount> kControls;

// The row of a member of a control array; nullptr when there is none.
const ControlRow *FindControl(ControlKind kind, int index);

struct TwipsRect {
    int left, top, width, height;
};
// Position in the client area: a framed control is placed from its frame's corner.
TwipsRect ClientTwips(const ControlRow &row);

// Twips to pixels at dpi, rounded half away from zero.
int TwipsToPixels(int twips, int dpi);

// Window ids: one range per control array, clear of IDOK (1), IDCANCEL (2) and the 0xFFFF of
// anonymous statics.
int ControlId(ControlKind kind, int index);
constexpr int kControlIdStep = 0x100;

} // namespace quenzel
