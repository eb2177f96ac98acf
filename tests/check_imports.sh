#!/bin/sh
# Checks that a 32-bit program loads on Windows 95, from its import table: it may import only
# from kernel32, user32, gdi32, advapi32, msvcrt and comctl32, and from each of them only the
# functions that tests/data/win95-<dll>.txt lists (kernel32: everything Windows 95's kernel32
# exports; the others: the functions checked to be in Windows 95). Imports by ordinal fail, as
# they cannot be checked; a DLL without a list (comctl32 until one is written) fails too. Only
# msvcrt's functions go unchecked: it is the C runtime, not part of Windows 95 itself.
# Usage: tests/check_imports.sh PROGRAM.exe [LIST_DIR]       exit 0: passes, 1: fails
set -eu
exe=${1:?usage: check_imports.sh PROGRAM.exe [LIST_DIR]}
lists=${2:-$(dirname "$0")/data}

# objdump reads the import table; any of these reads PE files of both widths or at least this one.
table=""
for tool in ${OBJDUMP:-} objdump i686-w64-mingw32-objdump x86_64-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null 2>&1 || continue
    if table=$("$tool" -p "$exe" 2>/dev/null); then
        break
    fi
    table=""
done
if [ -z "$table" ]; then
    echo "FAIL: cannot read the import table of $exe" >&2
    exit 1
fi

# One "dll function" line per import, the DLL in lower case; "dll <ordinal>" for one by ordinal.
imports=$(printf '%s\n' "$table" | awk '
    /^\tDLL Name: / { dll = tolower($3); sub(/\.dll$/, "", dll); next }
    /^\tvma:/ { next }
    dll != "" && /^\t[0-9a-fA-F]+\t/ {
        name = $NF
        if (NF < 3 || name == "<none>") name = "<ordinal>"
        print dll, name
        next
    }
    /^$/ { dll = "" }
')
if [ -z "$imports" ]; then
    echo "FAIL: $exe imports nothing that objdump shows: not a program this check can judge" >&2
    exit 1
fi

failures=$(printf '%s\n' "$imports" | while read -r dll name; do
    case $dll in
    msvcrt) continue ;;
    kernel32 | user32 | gdi32 | advapi32 | comctl32) ;;
    *)
        echo "$dll.dll: not a DLL every Windows has ($name)"
        continue
        ;;
    esac
    list="$lists/win95-$dll.txt"
    if [ "$name" = "<ordinal>" ]; then
        echo "$dll.dll: an import by ordinal"
    elif [ ! -f "$list" ]; then
        echo "$dll.dll: $name (no list of this DLL's Windows 95 functions)"
    elif ! sed 's/#.*//; s/[[:space:]]//g' "$list" | grep -qxF "$name"; then
        echo "$dll.dll: $name is not on $(basename "$list")"
    fi
done)

count=$(printf '%s\n' "$imports" | wc -l | tr -d ' ')
dlls=$(printf '%s\n' "$imports" | awk '{ print $1 }' | sort -u | paste -sd, - | sed 's/,/, /g')
unchecked=$(printf '%s\n' "$imports" | grep -c '^msvcrt ' || true)
if [ -n "$failures" ]; then
    printf '%s\n' "$failures" | sed 's/^/  /'
    echo "FAIL: $exe: $(printf '%s\n' "$failures" | wc -l | tr -d ' ') of $count imports would keep it from loading on Windows 95"
    exit 1
fi
echo "OK: $exe: its $count imports come from $dlls; all but msvcrt's $unchecked are on the Windows 95 lists"
