#!/bin/sh
# Checks the execution level a program's manifest asks for, by the program's width: the 64-bit
# program highestAvailable, the 32-bit one asInvoker.
# Usage: tests/check_manifest.sh PROGRAM.exe        exit 0: passes, 1: fails
set -eu
exe=${1:?usage: check_manifest.sh PROGRAM.exe}
case $(objdump -f "$exe" 2>/dev/null | sed -n 's/.*file format //p') in
pei-x86-64) want=highestAvailable ;;
pei-i386) want=asInvoker ;;
*) echo "FAIL: $exe is no Windows program" >&2; exit 1 ;;
esac
# Every requestedExecutionLevel element of the RT_MANIFEST resources (type 24), one per line.
got=$(wrestool -x --raw --type=24 "$exe" | tr '\n' ' ' | grep -o '<requestedExecutionLevel[^>]*>' |
    sed -n 's/.* level="\([^"]*\)".*/\1/p') || true
if [ "$got" != "$want" ]; then
    echo "FAIL: $exe asks for \"$got\", not \"$want\"" >&2
    exit 1
fi
echo "ok: $exe asks for $want"
