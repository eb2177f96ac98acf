# Cross-compiling the 32-bit program for Windows 95 and later: win32 threads, so that nothing
# newer than Windows 95's kernel32 is imported, and the C runtime crtdll.dll, which every
# Windows 95 has (msvcrt.dll came only with later systems and applications).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# PE subsystem 4.0, the version Windows 95 loads; stated here rather than left to the linker.
# The compiler's own library list ends in msvcrt: replace it by the same list on crtdll
# (libcrtdll.a carries the start-up glue crtdll needs), and only the four system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-nodefaultlibs -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0")
foreach(lang C CXX)
    set(CMAKE_${lang}_STANDARD_LIBRARIES
        "-Wl,--start-group -lstdc++ -lmingw32 -lgcc -lgcc_eh -lmoldname -lmingwex -lcrtdll -Wl,--end-group -luser32 -lgdi32 -ladvapi32 -lkernel32")
endforeach()
