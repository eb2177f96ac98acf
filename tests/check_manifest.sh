#!/bin/sh
# Checks the execution level a program's manifest asks for: highestAvailable for the 64-bit
# program, asInvoker for the 32-bit one.    Usage: tests/check_manifest.sh PROGRAM.exe
set -eu
exe=${1:?usage: check_manifest.sh PROGRAM.exe}
case $(objdump -f "$exe" | sed -n 's/.*file format //p') in
pei-x86-64) want=highestAvailable ;;
pei-i386) want=asInvoker ;;
*) echo "FAIL: $exe is no Windows program" >&2 && exit 1 ;;
esac
got=$(wrestool -x --raw --type=24 "$exe" | tr '\n' ' ' | grep -o '<requestedExecutionLevel[^>]*>' |
    sed -n 's/.* level="\([^"]*\)".*/\1/p') || true
[ "$got" = "$want" ] || { echo "FAIL: $exe asks for \"$got\", not \"$want\"" >&2 && exit 1; }
echo "ok: $exe asks for $want"
