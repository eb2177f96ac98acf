// The controls of Form1 as data, in creation order, which the dialog manager takes as tab order.
#include "controls.h"

#include "texts.h"

#include <windows.h>

namespace quenzel {

namespace {
using K = ControlKind;
constexpr int F0 = 0, F1 = 1, F2 = 2, W = kInWindow;
} // namespace

// clang-format off
constexpr std::array<ControlRow, kControlCount> kControls{{
//   control      index frame caption                  Left   Top  Width Height
    {K::CheckBox,  5, F0, texts::kCheckCdRom,           900,  360, 1392,  372},
    {K::CheckBox,  2, F0, texts::kCheckRemovable,       900,  900, 1332,  372},
    {K::CheckBox,  3, F0, texts::kCheckFixed,           900, 1440, 1152,  372},
    {K::CheckBox,  6, F0, texts::kCheckRamDisk,         900, 1980, 1152,  372},
    {K::CheckBox,  4, F0, texts::kCheckRemote,          900, 2520, 1392,  372},
    {K::PushButton,2, W,  texts::kButtonOk,            3780, 3180, 1092,  372},
    {K::PushButton,1, W,  texts::kButtonStandard,      1260, 3180, 1152,  372},
    {K::PushButton,0, W,  texts::kButtonInfo,            60, 3180, 1152,  372},
    {K::GroupFrame,0, W,  texts::kFrameAutoRun,        2520,   60, 2352, 3012},
    {K::GroupFrame,1, W,  texts::kFrameMediaChange,      60,   60, 2352, 1572},
    {K::CheckBox,  1, F1, texts::kCheckMediaChange,     900, 1080, 1032,  372},
    {K::GroupFrame,2, W,  texts::kFrameInstantStart,     60, 1740, 2352, 1332},
    {K::CheckBox,  0, F2, texts::kCheckAudioCd,         900,  420, 1092,  372},
    {K::CheckBox,  7, F2, texts::kCheckProgramCd,       900,  840, 1332,  372},
    {K::PushButton,3, W,  texts::kButtonCancel,        2520, 3180, 1215,  375},
    {K::Label,     0, F1, texts::kNoDevice,             180,  360, 1995,  615},
    {K::Picture,   0, F0, nullptr,                      240,  240,  480,  480},
    {K::Picture,   1, F0, nullptr,                      240,  780,  480,  480},
    {K::Picture,   2, F0, nullptr,                      240, 1320,  480,  480},
    {K::Picture,   3, F0, nullptr,                      240, 1860,  480,  480},
    {K::Picture,   4, F0, nullptr,                      240, 2460,  480,  480},
    {K::Picture,   5, F1, nullptr,                      240, 1020,  480,  480},
    {K::Picture,   6, F2, nullptr,                      240,  720,  480,  480},
    {K::Picture,   7, F2, nullptr,                      240,  240,  480,  480},
}};
// clang-format on

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
    return ::MulDiv(twips, dpi, kTwipsPerInch);
}

int ControlId(ControlKind kind, int index) {
    return kControlIdStep * (static_cast<int>(kind) + 1) + index;
}

} // namespace quenzel
