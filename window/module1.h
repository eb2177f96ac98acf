// The information box behind "&Info".
#pragma once

#include <windows.h>

#include <string>

namespace quenzel {

// The text, the maker's line, the request for feedback and the address, in lines ended by CR
// alone.
std::wstring AboutBoxMessage(const std::wstring &text);

// A modal information box with one OK button, owned by the main window.
void ShowAboutBox(HWND owner, const std::wstring &title, const std::wstring &text);

} // namespace quenzel
