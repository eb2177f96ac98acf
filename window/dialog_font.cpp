// The dialog font: the system's message font, made smaller only where a caption would not fit.
#include "dialog_font.h"

#include "dpi.h"
#include "user_api.h"
#include "texts.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace quenzel {

namespace {

// The caption as drawn: "&" marks removed, "&&" kept as one "&".
std::wstring WithoutMnemonic(const std::wstring &caption) {
    std::wstring shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

// Margins as the button and static controls draw them: a check box's square and the gap after
// it, a push button's edges, a frame's inset caption; one digit's width stands for a gap.
bool FitsWithGap(HDC dc, ControlKind kind, const std::wstring &caption, SIZE size, int dpi,
                 int digit) {
    const std::wstring shown = WithoutMnemonic(caption);
    if (kind == ControlKind::Label) {
        const SIZE wrapped = user::WrappedTextExtent(dc, shown, size.cx);
        return wrapped.cx <= size.cx && wrapped.cy <= size.cy;
    }
    const SIZE text = user::TextExtent(dc, shown);
    switch (kind) {
    case ControlKind::CheckBox: {
        const int square = std::max(dpi::SystemMetric(SM_CXMENUCHECK, dpi), MulDiv(13, dpi, 96));
        return square + digit / 2 + 1 + text.cx + 2 <= size.cx && text.cy <= size.cy;
    }
    case ControlKind::PushButton:
        return text.cx + 2 * digit + 4 <= size.cx && text.cy + 4 <= size.cy;
    case ControlKind::GroupFrame:
        return text.cx + 2 * (digit + 4) <= size.cx && text.cy <= size.cy;
    case ControlKind::Label:
    case ControlKind::Picture:
        return true;
    }
    return true;
}

struct Caption {
    ControlKind kind;
    const wchar_t *text;
    SIZE size;
};

// Every caption of the table at its control's pixel size, the label with both texts it can show;
// longest first: a font that is too large for them fails on one of the long ones, so it is given
// up after a few measurements instead of after most of them.
std::vector<Caption> CaptionsLongestFirst(int dpi) {
    std::vector<Caption> captions;
    for (const ControlRow &row : kControls) {
        const SIZE size{TwipsToPixels(row.width, dpi), TwipsToPixels(row.height, dpi)};
        if (row.kind == ControlKind::Label) {
            for (const wchar_t *text : {texts::kNoDevice, texts::kAllDrivesNote})
                captions.push_back({row.kind, text, size});
        } else if (row.caption) {
            captions.push_back({row.kind, row.caption, size});
        }
    }
    std::stable_sort(captions.begin(), captions.end(), [](const Caption &a, const Caption &b) {
        return std::wcslen(a.text) > std::wcslen(b.text);
    });
    return captions;
}

bool AllCaptionsFit(HDC dc, HFONT font, const std::vector<Caption> &captions, int dpi) {
    HGDIOBJ previous = ::SelectObject(dc, font);
    const int digit = user::TextExtent(dc, L"0").cx;
    const bool fit = std::all_of(captions.begin(), captions.end(), [&](const Caption &caption) {
        return FitsWithGap(dc, caption.kind, caption.text, caption.size, dpi, digit);
    });
    ::SelectObject(dc, previous);
    return fit;
}

// The system's message font at dpi.
LOGFONTA MessageFont(int dpi) {
    LOGFONTA font{};
    if (!dpi::MessageFont(dpi, font))
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

} // namespace

// One memory DC, which measures as the screen does and costs no round trip to the window system,
// measures the captions for every candidate font.
HFONT CreateDialogFont(int dpi) {
    LOGFONTA font = MessageFont(dpi);
    if (font.lfHeight == 0)
        font.lfHeight = -MulDiv(8, dpi, 72);
    const int sign = font.lfHeight < 0 ? -1 : 1;
    const int system = std::abs(static_cast<int>(font.lfHeight));
    const int smallest = std::max(1, (system * 3 + 3) / 4);
    const std::vector<Caption> captions = CaptionsLongestFirst(dpi);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HFONT chosen = nullptr;
    for (int height = system;; --height) {
        font.lfHeight = sign * height;
        HFONT candidate = ::CreateFontIndirectA(&font);
        if (!candidate || !dc || height <= smallest ||
            AllCaptionsFit(dc, candidate, captions, dpi)) {
            chosen = candidate;
            break;
        }
        ::DeleteObject(candidate);
    }
    if (dc)
        ::DeleteDC(dc);
    return chosen;
}

} // namespace quenzel
