#!/bin/sh
# Shows that tests/check_imports.sh fails where it must: it builds small 32-bit programs the way
# the shipped one is built (i686, win32 threads, static) and expects the check to pass the one
# that imports only Windows 95 functions and to fail, naming the culprit, each one that imports a
# newer kernel32 or user32 function, a DLL beyond the allowed ones, or that is no program at all.
# Usage: tests/check_imports_test.sh        exit 0: every case behaved, 1: one did not
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cc=i686-w64-mingw32-gcc-win32
if ! command -v "$cc" >/dev/null 2>&1; then
    echo "FAIL: $cc is missing (package g++-mingw-w64-i686)" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A program whose WinMain calls the given functions; it is only ever read, never run.
program() {
    name=$1 libs=$2 body=$3
    cat >"$work/$name.c" <<EOF
#include <windows.h>
#include <shellapi.h>
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
    (void)instance; (void)previous; (void)line; (void)show;
    $body
    return 0;
}
EOF
    "$cc" -O2 -mwindows -static -o "$work/$name.exe" "$work/$name.c" $libs
}

program good "-lgdi32 -ladvapi32" '
    HDC dc = GetDC(NULL);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(NULL, dc);
    RegCloseKey(HKEY_CURRENT_USER);
    return dpi + (int)GetVersion();'
program newer_kernel32 "" 'return (int)GetTickCount64();'
program newer_user32 "" 'return SetProcessDPIAware();'
program other_dll "-lshell32" 'return (int)(INT_PTR)ShellExecuteA(NULL, "open", "x", NULL, NULL, 0);'
echo "not a program" >"$work/text.exe"

failed=0
expect() {
    want=$1 exe=$2 culprit=$3
    if output=$("$here/check_imports.sh" "$work/$exe" 2>&1); then got=pass; else got=fail; fi
    if [ "$got" != "$want" ]; then
        echo "FAIL: $exe: the check should $want but ${got}ed:"
        printf '%s\n' "$output" | sed 's/^/    /'
        failed=1
    elif [ -n "$culprit" ] && ! printf '%s\n' "$output" | grep -qF "$culprit"; then
        echo "FAIL: $exe: the check failed without naming $culprit:"
        printf '%s\n' "$output" | sed 's/^/    /'
        failed=1
    else
        echo "ok: $exe: the check ${got}ed${culprit:+: $culprit}"
    fi
}
expect pass good.exe ""
expect fail newer_kernel32.exe GetTickCount64
expect fail newer_user32.exe SetProcessDPIAware
expect fail other_dll.exe shell32.dll
expect fail text.exe "cannot read the import table"
exit $failed
