// The dialog font: the system's message font, made smaller only where a caption would not fit.
#include "dialog_font.h"

#include "text_api.h"
#include "texts.h"

#include <algorithm>
#include <cstdlib>

namespace quenzel {

namespace {

bool AllCaptionsFit(HFONT font, int dpi) {
    HDC dc = ::GetDC(nullptr);
    if (!dc)
        return true;
    HGDIOBJ previous = ::SelectObject(dc, font);
    bool fit = true;
    for (const ControlRow &row : kControls) {
        const SIZE size{TwipsToPixels(row.width, dpi), TwipsToPixels(row.height, dpi)};
        if (row.kind == ControlKind::Label) {
            for (const wchar_t *caption : {texts::kNoDevice, texts::kAllDrivesNote})
                fit = fit && CaptionFits(dc, row.kind, caption, size, dpi);
        } else if (row.caption) {
            fit = fit && CaptionFits(dc, row.kind, row.caption, size, dpi);
        }
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    return fit;
}

} // namespace

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
bool CaptionFits(HDC dc, ControlKind kind, const std::wstring &caption, SIZE size, int dpi) {
    const std::wstring shown = WithoutMnemonic(caption);
    const SIZE text = text::TextExtent(dc, shown);
    const int digit = text::TextExtent(dc, L"0").cx;
    switch (kind) {
    case ControlKind::CheckBox: {
        const int square = std::max(::GetSystemMetrics(SM_CXMENUCHECK), MulDiv(13, dpi, 96));
        return square + digit / 2 + 1 + text.cx + 2 <= size.cx && text.cy <= size.cy;
    }
    case ControlKind::PushButton:
        return text.cx + 2 * digit + 4 <= size.cx && text.cy + 4 <= size.cy;
    case ControlKind::GroupFrame:
        return text.cx + 2 * (digit + 4) <= size.cx && text.cy <= size.cy;
    case ControlKind::Label: {
        const SIZE wrapped = text::WrappedTextExtent(dc, shown, size.cx);
        return wrapped.cx <= size.cx && wrapped.cy <= size.cy;
    }
    case ControlKind::Picture:
        return true;
    }
    return true;
}

HFONT CreateDialogFont(int dpi) {
    LOGFONTW font = text::MessageFont();
    if (font.lfHeight == 0)
        font.lfHeight = -MulDiv(8, dpi, 72);
    const int sign = font.lfHeight < 0 ? -1 : 1;
    const int system = std::abs(static_cast<int>(font.lfHeight));
    const int smallest = std::max(1, (system * 3 + 3) / 4);
    for (int height = system;; --height) {
        font.lfHeight = sign * height;
        HFONT candidate = text::CreateFontText(font);
        if (!candidate || height <= smallest || AllCaptionsFit(candidate, dpi))
            return candidate;
        ::DeleteObject(candidate);
    }
}

} // namespace quenzel
