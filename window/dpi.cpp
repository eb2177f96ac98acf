// The DPI to lay the window out for, and the metrics and font at it.
#include "dpi.h"

#include "find_function.h"
#include "user_api.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace quenzel::dpi {

namespace {

struct DpiUser32 {
    decltype(&::GetDpiForWindow) GetDpiForWindow;
    decltype(&::GetSystemMetricsForDpi) GetSystemMetricsForDpi;
    decltype(&::SystemParametersInfoForDpi) SystemParametersInfoForDpi;
};

// Each one null where user32 lacks it.
const DpiUser32 &Functions() {
    static const DpiUser32 functions = [] {
        DpiUser32 found{};
        if (HMODULE user32 = ::GetModuleHandleA("user32.dll")) {
            FindFunction(user32, "GetDpiForWindow", found.GetDpiForWindow);
            FindFunction(user32, "GetSystemMetricsForDpi", found.GetSystemMetricsForDpi);
            FindFunction(user32, "SystemParametersInfoForDpi", found.SystemParametersInfoForDpi);
        }
        return found;
    }();
    return functions;
}

} // namespace

int Screen() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int ForWindow(HWND window) {
    const UINT dpi = Functions().GetDpiForWindow ? Functions().GetDpiForWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : Screen();
}

int SystemMetric(int index, int dpi) {
    if (Functions().GetSystemMetricsForDpi)
        return Functions().GetSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    return ::GetSystemMetrics(index);
}

bool MessageFont(int dpi, LOGFONTA &font) {
    if (Functions().SystemParametersInfoForDpi) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (!Functions().SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize,
                                                    &metrics, 0, static_cast<UINT>(dpi)))
            return false;
        const LOGFONTW &wide = metrics.lfMessageFont;
        static_assert(offsetof(LOGFONTW, lfFaceName) == offsetof(LOGFONTA, lfFaceName));
        std::memcpy(&font, &wide, offsetof(LOGFONTA, lfFaceName));
        const std::string face = user::ToAnsi(wide.lfFaceName);
        std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
        std::memcpy(font.lfFaceName, face.c_str(),
                    std::min(face.size(), sizeof font.lfFaceName - 1));
        return true;
    }
    // The size of the structure is the one Windows 95 knew: later fields make older systems
    // refuse it.
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return false;
    font = metrics.lfMessageFont;
    return true;
}

} // namespace quenzel::dpi
