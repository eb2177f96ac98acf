// The DPI to lay the window out for, and the metrics and font at it: the per-monitor functions of
// Windows 10 where user32 has them (found at run time), the system DPI's answers elsewhere.
#pragma once

#include <windows.h>

// Where they are missing (Windows 95 to Windows 10 1511), every answer is the system DPI's: such
// a system scales no window per monitor, so the DPI asked about is always the system's.
namespace quenzel::dpi {

// The screen's dots per inch, the system DPI; 96 when the system does not say.
int Screen();
// The DPI of the monitor the window is shown on.
int ForWindow(HWND window);
// A system metric at dpi.
int SystemMetric(int index, int dpi);
// The system's message font at dpi; false where the system has none to give.
bool MessageFont(int dpi, LOGFONTA &font);

} // namespace quenzel::dpi
