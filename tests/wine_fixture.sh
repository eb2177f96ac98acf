#!/bin/sh
# CTest fixture: a fresh Wine prefix with a headless display driver and one wineserver that
# stays up for the whole run.  Usage: wine_fixture.sh setup|cleanup PREFIX
set -eu
export WINEPREFIX="$2" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
case "$1" in
setup)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    wineserver -p </dev/null >/dev/null 2>&1
    # The first program after a restart starts Wine's own services; they must not inherit a
    # test's output pipe, or CTest waits for them.
    wine reg query 'HKCU\Software\Wine\Drivers' </dev/null >/dev/null 2>&1
    echo "wine prefix ready: $WINEPREFIX"
    ;;
cleanup)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
esac
