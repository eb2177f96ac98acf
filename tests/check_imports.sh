#!/bin/sh
# Checks from its import table that a 32-bit program loads on Windows 95 as first installed: it
# may import only from kernel32, user32, gdi32, advapi32 and crtdll (the C runtime every
# Windows 95 has), by name, and only names on tests/data/win95-<dll>.txt (kernel32 and crtdll:
# everything Windows 95's DLL exports; the others: the functions checked to be in Windows 95), and
# of the W functions only those that Windows 95 implements (win95-wide.txt).
# Usage: tests/check_imports.sh PROGRAM.exe [LIST_DIR]       exit 0: passes, 1: fails
set -eu
exe=${1:?usage: check_imports.sh PROGRAM.exe [LIST_DIR]}
lists=${2:-$(dirname "$0")/data}

table=""
for tool in ${OBJDUMP:-} i686-w64-mingw32-objdump objdump; do
    command -v "$tool" >/dev/null 2>&1 || continue
    table=$("$tool" -p "$exe" 2>/dev/null) && break
    table=""
done
[ -n "$table" ] || { echo "FAIL: cannot read the import table of $exe" >&2; exit 1; }

# One "dll name" line per import, the DLL in lower case; "<ordinal>" for an import by ordinal.
imports=$(printf '%s\n' "$table" | awk '
    /^\tDLL Name: / { dll = tolower($3); sub(/\.dll$/, "", dll); next }
    /^\tvma:/ { next }
    dll != "" && /^\t[0-9a-fA-F]+\t/ { print dll, (NF < 3 || $NF == "<none>") ? "<ordinal>" : $NF; next }
    /^$/ { dll = "" }')
[ -n "$imports" ] || { echo "FAIL: $exe imports nothing that objdump shows" >&2; exit 1; }

on() { sed 's/#.*//; s/[[:space:]]//g' "$2" | grep -qxF "$1"; }
failures=$(printf '%s\n' "$imports" | while read -r dll name; do
    case $dll in
    kernel32 | user32 | gdi32 | advapi32 | crtdll) ;;
    *) echo "$dll.dll: not part of Windows 95 as installed ($name)" && continue ;;
    esac
    list="$lists/win95-$dll.txt"
    if [ "$name" = "<ordinal>" ]; then
        echo "$dll.dll: an import by ordinal"
    elif ! on "$name" "$list"; then
        echo "$dll.dll: $name is not on $(basename "$list")"
    fi
    case $name in *[a-z0-9]W) on "$name" "$lists/win95-wide.txt" ||
        echo "$dll.dll: $name is a W function that Windows 95 only stubs" ;;
    esac
done)

count=$(printf '%s\n' "$imports" | wc -l | tr -d ' ')
per_dll=$(printf '%s\n' "$imports" | awk '{ print $1 }' | sort | uniq -c |
    awk '{ printf "%s%s %s", sep, $2, $1; sep = ", " }')
if [ -n "$failures" ]; then
    printf '%s\n' "$failures" | sed 's/^/  /'
    echo "FAIL: $exe: $(printf '%s\n' "$failures" | wc -l | tr -d ' ') of $count imports would keep it from loading on Windows 95"
    exit 1
fi
echo "OK: $exe: all $count imports ($per_dll) are on the Windows 95 lists"
