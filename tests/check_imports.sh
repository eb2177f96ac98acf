#!/bin/sh
# Checks that a 32-bit program loads on Windows 95 as installed: imports by name, from its DLLs
# only names on tests/data/win95-<dll>.txt, and no W function Windows 95 only stubs.
# Usage: tests/check_imports.sh PROGRAM.exe        exit 0: passes, 1: fails
set -eu
exe=${1:?usage: check_imports.sh PROGRAM.exe}
# One "dll name" line per import, the DLL in lower case; "<ordinal>" for an import by ordinal.
imports=$(i686-w64-mingw32-objdump -p "$exe" | awk '
    /^\tDLL Name: / { dll = tolower($3); sub(/\.dll$/, "", dll); next }
    dll != "" && /^\t[0-9a-fA-F]+\t/ { print dll, (NF < 3 || $NF == "<none>") ? "<ordinal>" : $NF; next }
    /^$/ { dll = "" }')
[ -n "$imports" ] || { echo "FAIL: $exe imports nothing that objdump shows" >&2; exit 1; }

on() { sed 's/#.*//; s/[[:space:]]//g' "$(dirname "$0")/data/$2" | grep -qxF "$1"; }
failures=$(printf '%s\n' "$imports" | while read -r dll name; do
    case $dll in
    kernel32 | user32 | gdi32 | advapi32 | comctl32 | crtdll) ;;
    *) echo "$dll.dll: not part of Windows 95 as installed ($name)" && continue ;;
    esac
    [ "$name" != "<ordinal>" ] || { echo "$dll.dll: an import by ordinal" && continue; }
    on "$name" "win95-$dll.txt" || echo "$dll.dll: $name is not on win95-$dll.txt"
    case $name in *[a-z0-9]W) on "$name" win95-wide.txt ||
        echo "$dll.dll: $name is a W function that Windows 95 only stubs" ;;
    esac
done)
[ -z "$failures" ] || { printf 'FAIL: %s\n' "$failures"; exit 1; }
echo "OK: $exe: all $(printf '%s\n' "$imports" | wc -l) imports are on the Windows 95 lists"
