// The information box behind "&Info".
#include "module1.h"

#include "text_api.h"
#include "texts.h"

namespace quenzel {

std::wstring AboutBoxMessage(const std::wstring &text) {
    const std::wstring cr = L"\r";
    return text + cr + cr + texts::kAboutMaker + cr + cr + texts::kAboutFeedback1 + cr +
           texts::kAboutFeedback2 + cr + cr + texts::kAboutMailPrefix + texts::kAboutMailAddress;
}

void ShowAboutBox(HWND owner, const std::wstring &title, const std::wstring &text) {
    constexpr UINT kStyle = 64; // MB_ICONINFORMATION | MB_OK
    static_assert(kStyle == (MB_ICONINFORMATION | MB_OK));
    text::MessageBoxText(owner, AboutBoxMessage(text), title, kStyle);
}

} // namespace quenzel
