#!/bin/sh
# quenzel.exe under Wine on a virtual X display, driven with real key events, checked afterwards
# with "wine reg query". Usage: keys_test.sh QUENZEL_EXE REGEDIT4_SEED WORKDIR
set -eu
[ -n "${KEYS_TEST_TRACE:-}" ] && set -x
exe=$1 seed=$2 work=$3
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
quiet() { "$@" </dev/null >/dev/null 2>&1; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
failures=0

quiet wineserver -k || true
rm -rf "$work"
mkdir -p "$work"
quiet wineboot -i
quiet wine regedit /s "$(winepath -w "$seed")"
quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
quiet wineserver -w
# The device list alone, imported again before every run as Windows 95 rebuilt it at every boot.
awk 'NR == 1 { print; next } /^\[/ { keep = ($0 ~ /^\[HKEY_DYN_DATA/) } keep' "$seed" \
    >"$WINEPREFIX/drive_c/devices.reg"

# One run of the program: $1 are the xdotool key names; waits until it has ended by itself.
session() {
    quiet wineserver -w || true # a server left from a query has no display to give the program
    EXE="$exe" KEYS="$1" xvfb-run -a -s "-screen 0 800x600x24" sh -c '
        quiet() { "$@" </dev/null >/dev/null 2>&1; }
        quiet wineserver -p5
        quiet wine regedit /s "C:\\devices.reg"
        wine "$EXE" </dev/null >/dev/null 2>&1 &
        pid=$!
        win=$(timeout 30 xdotool search --sync --name "^Quenzel\$" | head -n 1)
        [ -n "$win" ] || { echo "no window"; exit 1; }
        sleep 1
        xdotool windowfocus --sync "$win"
        for k in $KEYS; do xdotool key --delay 150 "$k"; sleep 0.3; done
        for i in $(seq 1 20); do kill -0 $pid 2>/dev/null || exit 0; sleep 0.5; done
        echo "the program did not end"; kill $pid; exit 1
    '
    quiet wineserver -w || true
}

query() { wine reg query "$1" $2 2>/dev/null | tr -d '\r' | grep -i "$3" || true; }
expect() { # key, value option, pattern, what
    query "$1" "$2" "$3" | grep -qi "$3" || fail "$4: $(wine reg query "$1" $2 2>&1 | tr -d '\r' | tail -2)"
}
mask() { query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' \
    '/v NoDriveTypeAutoRun' NoDriveTypeAutoRun; }

before=$(mask)
# Changes, then Escape and Enter on a check box (both must do nothing), then the close box.
session "alt+d alt+m Escape Return alt+F4"
[ "$(mask)" = "$before" ] || fail "closing wrote the mask: $(mask)"
expect 'HKLM\SOFTWARE\Classes\AudioCD\shell' '/ve' 'play' "closing kept the verb"

# Focus starts on "&CD-ROM": space clears it (and "&Programm-CD"); Alt+A reaches "&aktiv" first
# (the next control with that letter) and clears it; Alt+D allows floppies, Alt+M stops audio
# CDs; Alt+O saves.
session "space alt+a alt+d alt+m alt+o"

expect 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' \
    '/v NoDriveTypeAutoRun' 'REG_BINARY *B1000000' "OK wrote the mask 0xB1"
query 'HKLM\SOFTWARE\Classes\AudioCD\shell' '/ve' 'REG_SZ' | grep -qi 'play' &&
    fail "OK left the audio CD verb at play"
expect 'HKLM\SOFTWARE\Classes\AudioCD\shell' '/ve' 'REG_SZ' "OK wrote the verb"
expect 'HKLM\Enum\SCSI\CD-ROM_LAUFWERK\0' '/v AutoInsertNotification' 'REG_BINARY *00$' \
    "OK wrote the notification byte 00"

# Alt+A from "&Musik-CD" reaches "&Abbrechen": nothing is written.
session "alt+m alt+a"
expect 'HKLM\SOFTWARE\Classes\AudioCD\shell' '/ve' 'REG_SZ *$' "Abbrechen kept the empty verb"

# "&Standard" then "&OK": floppies and network off, the rest on, audio CDs on; "&aktiv" stays.
session "alt+s alt+o"
expect 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' \
    '/v NoDriveTypeAutoRun' 'REG_BINARY *95000000' "Standard and OK wrote 0x95"
expect 'HKLM\SOFTWARE\Classes\AudioCD\shell' '/ve' 'play' "Standard and OK wrote play"
expect 'HKLM\Enum\SCSI\CD-ROM_LAUFWERK\0' '/v AutoInsertNotification' 'REG_BINARY *00$' \
    "Standard left the notification byte alone"

quiet wineserver -k || true
if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all key sessions behaved"
