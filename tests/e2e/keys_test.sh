#!/bin/sh
# The real program on Xvfb, real keys, the registry read back: the 64-bit one as NT (nt) and as
# Windows 95 (win95), the 32-bit one under the emulated 32-bit Wine (32, scripts/emu32.sh).
# Usage: keys_test.sh nt|win95|32 PROGRAM.exe SEED.reg WORKDIR
set -eu
run=$1 exe=$2 seed=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
emu32="$here/../../scripts/emu32.sh"
failures=0
fail() { echo "FAIL ($run): $*"; failures=$((failures + 1)); }
quiet() { "$@" </dev/null >/dev/null 2>&1; }

[ -f "$exe" ] || { echo "FAIL: no program $exe"; exit 1; }
if [ "$run" = 32 ]; then
    if ! sh "$emu32" can; then
        echo "!!! This machine cannot run the 32-bit program: its end-to-end run did NOT happen."
        [ "${CI:-}" = true ] && echo "!!! Under CI=true that is a failure." && exit 1
        exit 77
    fi
    exec sh "$emu32" with sh "$0" 32-inside "$exe" "$seed" "$work"
fi

# The files ($files here, $seen as Wine sees them) and how Wine runs.
mkdir -p "$work" && work=$(cd "$work" && pwd) # Wine takes only an absolute prefix
if [ "$run" = 32-inside ]; then
    run=32 files="$EMU32_ROOT/tmp/quenzel-e2e" seen=/tmp/quenzel-e2e wait_s=120
    W() { EMU32_PREFIX=$seen/prefix sh "$EMU32" exec "$@"; }
else
    files="$work/$run" seen="$work/$run" wait_s=30
    W() { WINEPREFIX="$files/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$@"; }
fi
rm -rf "$files" && mkdir -p "$files"
cp "$exe" "$files/quenzel.exe"
cp "$seed" "$files/seed.reg"

Xvfb -displayfd 5 -screen 0 800x600x24 -nolisten tcp 5>"$files/display" >/dev/null 2>&1 &
xvfb=$!
trap 'quiet W wineserver -k || true; kill $xvfb 2>/dev/null || true' EXIT
for i in $(seq 1 80); do [ -s "$files/display" ] && break; sleep 0.25; done
[ -s "$files/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$files/display")"

if [ $run = 32 ]; then
    cp -a "$EMU32_ROOT/root/win95" "$files/prefix"
else
    quiet W wineboot -i
    quiet W wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    [ $run = nt ] || quiet W wine reg add 'HKCU\Software\Wine' /v Version /d win95 /f
fi
# One server for the whole run: the device list under HKEY_DYN_DATA lives as long as it does.
quiet W wineserver -w
quiet W wineserver -p
quiet W wine regedit /s "$seen/seed.reg"

# One run of the program: the keys ($1), after a screenshot when $2 is "shot".
session() {
    W wine "$seen/quenzel.exe" </dev/null >"$files/program.log" 2>&1 &
    pid=$!
    win=$(timeout $wait_s xdotool search --sync --name '^Quenzel$' | head -n 1) || true
    [ -n "$win" ] || { fail "no window for \"$1\""; kill $pid; return; }
    sleep 1
    [ "${2:-}" != shot ] || import -window root "$work/$run.png" || fail "no screenshot"
    xdotool windowfocus --sync "$win"
    for k in $1; do xdotool key --delay 150 "$k"; sleep 0.3; done
    for i in $(seq 1 $((wait_s * 2))); do kill -0 $pid 2>/dev/null || return 0; sleep 0.5; done
    fail "the program did not end after \"$1\""
    kill $pid
}

expect() { # what, the mask's bytes, the audio CD verb, the notification byte
    got=$(for q in 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer /v NoDriveTypeAutoRun' \
        'HKLM\SOFTWARE\Classes\AudioCD\shell /ve' 'HKLM\Enum\SCSI\CD-ROM_LAUFWERK\0 /v AutoInsertNotification'; do
        W wine reg query $q 2>/dev/null | tr -d '\r' | awk 'NF >= 2 && $2 ~ /^REG_/' | sed 's/  */ /g; s/^ //; s/ $//'
    done)
    want=$(printf 'NoDriveTypeAutoRun REG_BINARY %s\n(Default) REG_SZ%s\nAutoInsertNotification REG_BINARY %s' "$2" "${3:+ $3}" "$4")
    [ "$got" = "$want" ] || fail "$1: expected \"$want\", found \"$got\""
}

# Two boxes changed, Escape and Enter (both inert) and the close box: nothing written.
session "alt+d alt+m Escape Return alt+F4" shot
expect "closing" 95000000 play 01
# Space on "&CD-ROM" (and "&Programm-CD"), Alt+A "&aktiv" first, every other box by its letter.
session "space alt+a alt+d alt+m alt+f alt+r alt+n alt+p alt+c alt+o"
expect "OK" E9000000 "" 00
# "&Standard" then "&OK": floppies and network off, the rest on, audio CDs on; "&aktiv" stays.
session "alt+s alt+o"
expect "Standard and OK" 95000000 play 00

[ $failures -eq 0 ] || { echo "$failures check(s) failed in the $run run"; exit 1; }
echo "the $run run behaved"
