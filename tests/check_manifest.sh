#!/bin/sh
# Checks what a program's manifest asks for: the common controls that draw the system's visual
# style, scaling per monitor, and the execution level: highestAvailable for the 64-bit program,
# asInvoker for the 32-bit one.    Usage: tests/check_manifest.sh PROGRAM.exe
set -eu
exe=${1:?usage: check_manifest.sh PROGRAM.exe}
want=asInvoker
! objdump -f "$exe" | grep -q 'file format pei-x86-64' || want=highestAvailable
manifest=$(wrestool -x --raw --type=24 "$exe" | tr -s '\r\n\t ' ' ')
for entry in "<requestedExecutionLevel level=\"$want\"" '>true</dpiAware>' '>PerMonitorV2</dpiAwareness>' \
    '<dependency> <dependentAssembly> <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0" processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>'; do
    printf '%s' "$manifest" | grep -qF "$entry" || { echo "FAIL: $exe's manifest lacks $entry" >&2 && exit 1; }
done
echo "ok: $exe asks for $want, the common controls 6 and per-monitor scaling"
