#!/bin/sh
# The tests' Wine prefix: fresh, headless, one wineserver for the run (setup, cleanup); with: a
# program run with one registry value set for it (the Windows version, the dpi).
# Usage: wine_fixture.sh setup|cleanup PREFIX
#        wine_fixture.sh with PREFIX KEY NAME TYPE DATA PROGRAM.exe [ARGUMENTS...]
set -eu
export WINEPREFIX="$2" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
quiet() { "$@" </dev/null >/dev/null 2>&1; }
case "$1" in
setup)
    quiet wineserver -k || true
    rm -rf "$WINEPREFIX"
    wineboot -i </dev/null >"$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log"; exit 1; }
    quiet wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
    quiet wineserver -k && quiet wineserver -w || true
    quiet wineserver -p
    # Wine's own services start now, not under a test whose output pipe CTest waits for.
    quiet wine reg query 'HKCU\Software\Wine\Drivers'
    ;;
cleanup) quiet wineserver -k || true ;;
with)
    key=$3 name=$4
    trap 'quiet wine reg delete "$key" /v "$name" /f || true' EXIT
    quiet wine reg add "$key" /v "$name" /t "$5" /d "$6" /f
    shift 6
    wine "$@" </dev/null
    ;;
esac
