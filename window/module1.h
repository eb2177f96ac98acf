// The information box behind "&Info" and the warning after a save that did not go through.
#pragma once

#include "../settings/settings.h"

#include <windows.h>

#include <string>

namespace quenzel {

// A modal information box with one OK button, owned by the main window.
void ShowAboutBox(HWND owner, const std::wstring &title, const std::wstring &text);

// Names each setting that could not be saved, and says when the machine's policy decides over
// the user's; a modal warning box owned by the main window.
void ShowSaveWarning(HWND owner, const std::wstring &title, const SaveReport &report);

} // namespace quenzel
