// The one place that finds at run time what older systems lack: functions newer than Windows 95,
// and the W functions that Windows 95 and 98 only stub.
#pragma once

#include <windows.h>

namespace quenzel {

// A function of module found by name; false if the system has none.
template <class Function> bool FindFunction(HMODULE module, const char *name, Function &function) {
    function =
        reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
    return function != nullptr;
}

} // namespace quenzel
