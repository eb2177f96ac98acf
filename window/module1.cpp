// The information box behind "&Info" and the warning after a save that did not go through.
#include "module1.h"

#include "user_api.h"
#include "texts.h"

namespace quenzel {

namespace {

// The text, the maker's line, the request for feedback and the address, in lines ended by CR
// alone.
std::wstring AboutBoxMessage(const std::wstring &text) {
    const std::wstring cr = L"\r";
    return text + cr + cr + texts::kAboutMaker + cr + cr + texts::kAboutFeedback1 + cr +
           texts::kAboutFeedback2 + cr + cr + texts::kAboutMailPrefix + texts::kAboutMailAddress;
}

} // namespace

void ShowAboutBox(HWND owner, const std::wstring &title, const std::wstring &text) {
    constexpr UINT kStyle = 64; // MB_ICONINFORMATION | MB_OK
    static_assert(kStyle == (MB_ICONINFORMATION | MB_OK));
    user::MessageBoxText(owner, AboutBoxMessage(text), title, kStyle);
}

// A setting that could not be saved is never lost silently.
void ShowSaveWarning(HWND owner, const std::wstring &title, const SaveReport &report) {
    std::wstring message;
    if (report.AnyFailed()) {
        message = texts::kNotSavedIntro;
        message += L"\r\n";
        const struct {
            bool failed;
            const wchar_t *name;
        } settings[] = {{report.driveTypesFailed, texts::kNotSavedDriveTypes},
                        {report.audioCdFailed, texts::kNotSavedAudioCd},
                        {report.mediaChangeFailed, texts::kNotSavedMediaChange}};
        for (const auto &setting : settings)
            if (setting.failed)
                message += std::wstring(L"\r\n- ") + setting.name;
    }
    if (report.machinePolicyDecides) {
        if (!message.empty())
            message += L"\r\n\r\n";
        message += texts::kMachinePolicyDecides;
    }
    user::MessageBoxText(owner, message, title, MB_ICONWARNING | MB_OK);
}

} // namespace quenzel
