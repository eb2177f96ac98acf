#!/bin/sh
# The real program on a virtual X display, driven with real key events, the registry checked
# afterwards with "wine reg query"; a probe reads from outside which text path the program chose
# by itself and how its umlauts came out. One run per platform:
#   nt      the 64-bit program as on the NT family (Wine's default version)
#   win95   the 64-bit program with Wine reporting Windows 95
#   32      the 32-bit program under the emulated 32-bit Wine in Windows 95 mode
#           (scripts/emu32.sh; needs root and binfmt_misc)
# Usage: keys_test.sh nt|win95|32 PROGRAM.exe SEED.reg WORKDIR
set -eu
[ -n "${KEYS_TEST_TRACE:-}" ] && set -x
run=$1 exe=$2 seed=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
emu32="$here/../../scripts/emu32.sh"
failures=0
fail() { echo "FAIL ($run): $*"; failures=$((failures + 1)); }
quiet() { "$@" </dev/null >/dev/null 2>&1; }

for tool in Xvfb xdotool import x86_64-w64-mingw32-gcc i686-w64-mingw32-gcc; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh test)"; exit 1; }
done
[ -f "$exe" ] || { echo "FAIL: no program $exe (for the 32-bit one: cmake --build --preset win95)"; exit 1; }

if [ "$run" = 32 ]; then
    if ! sh "$emu32" can; then
        echo "!!! This machine cannot run the 32-bit program (it needs root and binfmt_misc):"
        echo "!!! its end-to-end run did NOT happen."
        if [ "${CI:-}" = true ]; then echo "!!! Under CI=true that is a failure." && exit 1; fi
        exit 77
    fi
    exec sh "$emu32" with sh "$0" 32-inside "$exe" "$seed" "$work"
fi

# Where the program, the probe and the .reg files go, as Wine sees them, and how Wine runs; the
# screen as the probe saw it goes to WORKDIR/RUN.png.
mkdir -p "$work" && work=$(cd "$work" && pwd) # Wine takes only an absolute prefix
if [ "$run" = 32-inside ]; then
    run=32
    files="$EMU32_ROOT/tmp/quenzel-e2e" seen=/tmp/quenzel-e2e
    W() { EMU32_PREFIX=$seen/prefix sh "$EMU32" exec "$@"; }
    cc=i686-w64-mingw32-gcc wait_s=120
else
    files="$work/$run" seen="$work/$run"
    W() { WINEPREFIX="$files/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$@"; }
    cc=x86_64-w64-mingw32-gcc wait_s=30
fi
rm -rf "$files"
mkdir -p "$files"
cp "$exe" "$files/quenzel.exe"
$cc -O2 -o "$files/probe.exe" "$here/probe.c"
# The drive's description with an umlaut, in Windows-1252 as Windows 95 stores it.
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\CD-ROM_LAUFWERK\\0]\r\n"DeviceDesc"="Pr\374flaufwerk (SCSI)"\r\n' \
    >"$files/umlaut.reg"
cp "$seed" "$files/seed.reg"

# A display of our own (Xvfb picks a free number), ended with everything else when the script ends.
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
quiet W wine regedit /s "$seen/umlaut.reg"

# One run of the program: the keys ($1), after a look with the probe when $2 is "probe".
session() {
    W wine "$seen/quenzel.exe" </dev/null >"$files/program.log" 2>&1 &
    pid=$!
    win=$(timeout $wait_s xdotool search --sync --name '^Quenzel$' | head -n 1) || true
    [ -n "$win" ] || { fail "no window for \"$1\""; kill $pid; return; }
    sleep 1
    if [ "${2:-}" = probe ]; then
        { W wine "$seen/probe.exe" </dev/null 2>&1 || true; } | tr -d '\r' >"$files/probe.txt"
        import -window root "$work/$run.png" || fail "no screenshot"
    fi
    xdotool windowfocus --sync "$win"
    for k in $1; do xdotool key --delay 150 "$k"; sleep 0.3; done
    for i in $(seq 1 $((wait_s * 2))); do kill -0 $pid 2>/dev/null || return 0; sleep 0.5; done
    fail "the program did not end after \"$1\""
    kill $pid
}

explorer='HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer'
audio='HKLM\SOFTWARE\Classes\AudioCD\shell'
drive='HKLM\Enum\SCSI\CD-ROM_LAUFWERK\0'
value() { W wine reg query "$1" $2 2>/dev/null | tr -d '\r' | awk 'NF >= 2 && $2 ~ /^REG_/' | sed 's/  */ /g; s/^ //; s/ $//'; }
expect() { # key, value option, expected "NAME TYPE DATA" line, what
    got=$(value "$1" "$2")
    [ "$got" = "$4" ] || fail "$3: expected \"$4\", found \"$got\""
}
expect_seed() { # the three values as the seed has them
    expect "$explorer" '/v NoDriveTypeAutoRun' "$1 kept the mask" 'NoDriveTypeAutoRun REG_BINARY 95000000'
    expect "$audio" /ve "$1 kept the verb" '(Default) REG_SZ play'
    expect "$drive" '/v AutoInsertNotification' "$1 kept the notification" 'AutoInsertNotification REG_BINARY 01'
}

# The program's own choice of text path, seen from outside, and its texts in the right code page.
check_probe() { # expected IsWindowUnicode, expected device label
    p="$files/probe.txt"
    if [ "$1" = 1 ]; then family='0x[0-7]'; else family='0x[89a-f]'; fi
    grep -q "^version $family" "$p" || fail "Wine reports the wrong family for this run: $(head -n 1 "$p")"
    grep -qx "window unicode=$1 text=Quenzel" "$p" || fail "window not built with IsWindowUnicode=$1: $(head -n 2 "$p")"
    others=$(grep -c "^control unicode=$((1 - $1)) " "$p" || true)
    [ "$others" = 0 ] || fail "$others controls differ from the window's text path"
    grep -qx "control unicode=$1 text=Signal für Medienwechsel" "$p" || fail "frame caption not \"Signal für Medienwechsel\""
    grep -qx "control unicode=$1 text=$2" "$p" || fail "device label not \"$2\": $(grep -c . "$p") lines in $p"
}

case $run in
nt)
    # Two boxes changed, then Escape and Enter (both inert) and the close box: nothing written.
    session "alt+d alt+m Escape Return alt+F4" probe
    check_probe 1 "Prüflaufwerk (SCSI)"
    expect_seed "closing"
    # Focus starts on "&CD-ROM": space clears it (and "&Programm-CD"); Alt+A reaches "&aktiv"
    # first (the next control with that letter); Alt+D allows floppies, Alt+M stops audio CDs.
    session "space alt+a alt+d alt+m alt+o"
    expect "$explorer" '/v NoDriveTypeAutoRun' "OK" 'NoDriveTypeAutoRun REG_BINARY B1000000'
    expect "$audio" /ve "OK" '(Default) REG_SZ'
    expect "$drive" '/v AutoInsertNotification' "OK" 'AutoInsertNotification REG_BINARY 00'
    # Alt+A from "&Musik-CD" reaches "&Abbrechen": nothing is written.
    session "alt+m alt+a"
    expect "$audio" /ve "Abbrechen" '(Default) REG_SZ'
    # "&Standard" then "&OK": floppies and network off, the rest on, audio CDs on.
    session "alt+s alt+o"
    expect "$explorer" '/v NoDriveTypeAutoRun' "Standard and OK" 'NoDriveTypeAutoRun REG_BINARY 95000000'
    expect "$audio" /ve "Standard and OK" '(Default) REG_SZ play'
    expect "$drive" '/v AutoInsertNotification' "Standard left \"&aktiv\" alone" 'AutoInsertNotification REG_BINARY 00'
    ;;
win95 | 32)
    session "alt+d alt+m alt+a" probe
    check_probe 0 "Prüflaufwerk (SCSI)"
    expect_seed "Abbrechen"
    session "alt+a alt+d alt+m alt+o"
    expect "$explorer" '/v NoDriveTypeAutoRun' "OK" 'NoDriveTypeAutoRun REG_BINARY 91000000'
    expect "$audio" /ve "OK" '(Default) REG_SZ'
    expect "$drive" '/v AutoInsertNotification' "OK" 'AutoInsertNotification REG_BINARY 00'
    ;;
*) echo "usage: keys_test.sh nt|win95|32 PROGRAM.exe SEED.reg WORKDIR" && exit 2 ;;
esac

[ $failures -eq 0 ] || { echo "$failures check(s) failed in the $run run"; exit 1; }
echo "the $run run behaved"
