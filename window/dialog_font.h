// The dialog font: the system's message font, made smaller only where a caption would not fit.
#pragma once

#include "controls.h"

#include <windows.h>

namespace quenzel {

// The message font at dpi; when a caption of the control table (or a text the label
// can show) would be clipped at the table's sizes, the largest smaller height with which all fit,
// down to three quarters of the system's.
HFONT CreateDialogFont(int dpi);

} // namespace quenzel
