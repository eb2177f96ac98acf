#!/bin/sh
# Runs a program under Wine at another screen resolution: the prefix's LogPixels for the time of
# the run, removed again afterwards. Wine reads it when a process starts.
# Usage: tests/window/at_dpi.sh DPI PREFIX PROGRAM.exe [ARGUMENTS...]
set -eu
dpi=$1
export WINEPREFIX="$2" WINEDEBUG=-all
shift 2
key='HKCU\Control Panel\Desktop'
trap 'wine reg delete "$key" /v LogPixels /f </dev/null >/dev/null 2>&1 || true' EXIT
wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
wine "$@" </dev/null
