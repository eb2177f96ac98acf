#!/bin/sh
# Size benchmark: the stripped size of both programs, where it goes, and the DLLs they import.
# Usage: bench/size.sh [X64_EXE [WIN95_EXE]]
#        (default: build/windows/quenzel.exe and build/win95/quenzel.exe, the presets' programs)
# Targets: at most 256 KB each; DLLs only kernel32, user32, gdi32, advapi32 (at most comctl32
# and the C runtime besides: msvcrt in the 64-bit program, crtdll in the 32-bit one).
set -eu
cd "$(dirname "$0")/.."
x64=${1:-build/windows/quenzel.exe}
win95=${2:-build/win95/quenzel.exe}
limit=262144
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

report() {
    label=$1 exe=$2 strip=$3
    if [ ! -f "$exe" ]; then
        echo "$label: $exe is missing (build it first)"
        return 1
    fi
    stripped="$work/$(basename "$exe")"
    "$strip" -o "$stripped" "$exe"
    bytes=$(wc -c <"$stripped" | tr -d ' ')
    headers=$(objdump -p "$stripped")
    format=$(printf '%s\n' "$headers" | sed -n 's/.*file format //p' | head -n 1)
    subsystem=$(printf '%s\n' "$headers" |
        awk '/^MajorSubsystemVersion/ { major = $2 } /^MinorSubsystemVersion/ { minor = $2 }
             END { print major "." minor }')
    verdict="within"
    [ "$bytes" -le "$limit" ] || verdict="OVER"
    echo "$label: $exe"
    printf '  stripped size: %d bytes = %.1f KB (%s the target of 256 KB); %s, subsystem %s\n' \
        "$bytes" "$(echo "$bytes" | awk '{ print $1 / 1024 }')" "$verdict" "$format" "$subsystem"
    # Where the bytes go: code, read-only data and unwind tables, resources (the icons).
    objdump -h "$stripped" | awk '
        function hex(text,    i, n) {
            n = 0
            for (i = 1; i <= length(text); i++)
                n = n * 16 + index("0123456789abcdef", tolower(substr(text, i, 1))) - 1
            return n
        }
        $2 ~ /^\./ && $2 != ".bss" { line = line sprintf(" %s %.1f KB", $2, hex($3) / 1024) }
        END { print "  sections:" line }'
    dlls=$(printf '%s\n' "$headers" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort | paste -sd' ' -)
    others=$(printf '%s\n' $dlls | grep -vxE 'kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|msvcrt.dll|crtdll.dll|comctl32.dll' |
        paste -sd' ' - || true)
    echo "  imported DLLs: $dlls${others:+ -- beyond the allowed ones: $others}"
    count=$(printf '%s\n' "$headers" | awk '/^\tDLL Name: /{ on = 1; next } on && /^\t[0-9a-f]+\t/ { n++ } END { print n + 0 }')
    echo "  imported functions: $count"
}

status=0
report "64-bit program" "$x64" x86_64-w64-mingw32-strip || status=1
report "32-bit program" "$win95" i686-w64-mingw32-strip || status=1
exit $status
