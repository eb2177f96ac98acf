// The 32-bit program's CreateSemaphoreW: the compiler's runtime makes its locks with it, and
// Windows 95 has it only as a stub that fails.
//
// libgcc's thread support (gthr-win32, used by the unwinder's frame registration at start-up and
// by emulated thread-local storage) creates unnamed semaphores through kernel32's
// CreateSemaphoreW. Defining the import's address here keeps that W function out of the import
// table: the runtime's calls land on CreateSemaphoreA, which every Windows implements.
#include <windows.h>

namespace {

HANDLE WINAPI CreateUnnamedSemaphore(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum,
                                     LPCWSTR name) {
    if (name) { // the runtime never names one; fail as Windows 95's stub does
        ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    return ::CreateSemaphoreA(attributes, initial, maximum, nullptr);
}

} // namespace

extern "C" {
extern decltype(&::CreateSemaphoreW)
    const ImportedCreateSemaphoreW __asm__("__imp__CreateSemaphoreW@16");
decltype(&::CreateSemaphoreW) const ImportedCreateSemaphoreW = CreateUnnamedSemaphore;
}
