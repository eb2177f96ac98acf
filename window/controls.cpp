// The controls of Form1 as data, in creation order, which the dialog manager takes as tab order.
#include "controls.h"

#include "texts.h"

#include <cstdint>

namespace quenzel {

namespace {
using K = ControlKind;
constexpr int F0 = 0, F1 = 1, F2 = 2, W = kInWindow, None = kNoTab;
} // namespace

// clang-format off
constexpr std::array<ControlRow, kControlCount> kControls{{
//   control        kind           container caption                     Left  Top   Width Height Tab
    {"Check1",   5, K::CheckBox,   F0, texts::kCheckCdRom,          900,  360, 1392,  372,  0},
    {"Check1",   2, K::CheckBox,   F0, texts::kCheckRemovable,      900,  900, 1332,  372,  1},
    {"Check1",   3, K::CheckBox,   F0, texts::kCheckFixed,          900, 1440, 1152,  372,  2},
    {"Check1",   6, K::CheckBox,   F0, texts::kCheckRamDisk,        900, 1980, 1152,  372,  3},
    {"Check1",   4, K::CheckBox,   F0, texts::kCheckRemote,         900, 2520, 1392,  372,  4},
    {"Command1", 2, K::PushButton, W,  texts::kButtonOk,           3780, 3180, 1092,  372,  5},
    {"Command1", 1, K::PushButton, W,  texts::kButtonStandard,     1260, 3180, 1152,  372,  6},
    {"Command1", 0, K::PushButton, W,  texts::kButtonInfo,           60, 3180, 1152,  372,  7},
    {"Frame1",   0, K::GroupFrame, W,  texts::kFrameAutoRun,       2520,   60, 2352, 3012,  8},
    {"Frame1",   1, K::GroupFrame, W,  texts::kFrameMediaChange,     60,   60, 2352, 1572,  9},
    {"Check1",   1, K::CheckBox,   F1, texts::kCheckMediaChange,    900, 1080, 1032,  372, 10},
    {"Frame1",   2, K::GroupFrame, W,  texts::kFrameInstantStart,    60, 1740, 2352, 1332, 11},
    {"Check1",   0, K::CheckBox,   F2, texts::kCheckAudioCd,        900,  420, 1092,  372, 12},
    {"Check1",   7, K::CheckBox,   F2, texts::kCheckProgramCd,      900,  840, 1332,  372, 13},
    {"Command1", 3, K::PushButton, W,  texts::kButtonCancel,       2520, 3180, 1215,  375, 14},
    {"Label1",   0, K::Label,      F1, texts::kNoDevice,            180,  360, 1995,  615, 15},
    {"Image1",   0, K::Picture,    F0, nullptr,                     240,  240,  480,  480, None},
    {"Image1",   1, K::Picture,    F0, nullptr,                     240,  780,  480,  480, None},
    {"Image1",   2, K::Picture,    F0, nullptr,                     240, 1320,  480,  480, None},
    {"Image1",   3, K::Picture,    F0, nullptr,                     240, 1860,  480,  480, None},
    {"Image1",   4, K::Picture,    F0, nullptr,                     240, 2460,  480,  480, None},
    {"Image1",   5, K::Picture,    F1, nullptr,                     240, 1020,  480,  480, None},
    {"Image1",   6, K::Picture,    F2, nullptr,                     240,  720,  480,  480, None},
    {"Image1",   7, K::Picture,    F2, nullptr,                     240,  240,  480,  480, None},
}};
// clang-format on

namespace {

// The dialog manager walks the controls in creation order, so the rows must come in tab order.
constexpr bool RowsFollowTheTabOrder() {
    int next = 0;
    for (const ControlRow &row : kControls) {
        if (row.tab == kNoTab)
            continue;
        if (row.tab != next)
            return false;
        ++next;
    }
    return true;
}
static_assert(RowsFollowTheTabOrder(), "the rows must be listed in tab order");

} // namespace

const ControlRow *FindControl(ControlKind kind, int index) {
    for (const ControlRow &row : kControls)
        if (row.kind == kind && row.index == index)
            return &row;
    return nullptr;
}

TwipsRect ClientTwips(const ControlRow &row) {
    TwipsRect rect{row.left, row.top, row.width, row.height};
    if (row.frame != kInWindow) {
        const ControlRow *frame = FindControl(ControlKind::GroupFrame, row.frame);
        rect.left += frame->left;
        rect.top += frame->top;
    }
    return rect;
}

int TwipsToPixels(int twips, int dpi) {
    const std::int64_t product = static_cast<std::int64_t>(twips) * dpi;
    const std::int64_t half = kTwipsPerInch / 2;
    const std::int64_t rounded =
        product >= 0 ? (product + half) / kTwipsPerInch : -((-product + half) / kTwipsPerInch);
    return static_cast<int>(rounded);
}

int ControlId(ControlKind kind, int index) {
    return kControlIdStep * (static_cast<int>(kind) + 1) + index;
}

} // namespace quenzel
