#!/bin/sh
# The real 32-bit program under the emulated 32-bit Wine in Windows 95 mode (scripts/emu32.sh), on
# the X display it is given (CTest starts it under xvfb-run) with the seeded registry: real keys, the
# registry read back. Args: PROGRAM.exe SEED.reg
set -eu
exe=$1 seed=$2
here=$(cd "$(dirname "$0")" && pwd)
quiet() { "$@" </dev/null >/dev/null 2>&1; }

if [ -z "${EMU32:-}" ]; then
    if ! sh "$here/../../scripts/emu32.sh" can; then
        echo "!!! This machine cannot run the 32-bit program: its end-to-end run did NOT happen."
        [ "${CI:-}" = true ] && echo "!!! Under CI=true that is a failure." && exit 1
        exit 77
    fi
    exec sh "$here/../../scripts/emu32.sh" with sh "$0" "$@"
fi

# The files ($files here, $seen as Wine in the root sees them).
files="$EMU32_ROOT/tmp/quenzel-e2e" seen=/tmp/quenzel-e2e
W() { EMU32_PREFIX=$seen/prefix sh "$EMU32" exec "$@"; }
rm -rf "$files" && mkdir -p "$files"
cp "$exe" "$files/quenzel.exe" && cp "$seed" "$files/seed.reg" && cp -a "$EMU32_ROOT/root/win95" "$files/prefix"
trap 'quiet W wineserver -k || true' EXIT

# One server for the whole run: the device list under HKEY_DYN_DATA lives as long as it does.
quiet W wineserver -w
quiet W wineserver -p
quiet W wine regedit /s "$seen/seed.reg"

# The program, then "&aktiv", "&Musik-CD" and "&Diskette" by their letters and "&OK".
W wine "$seen/quenzel.exe" </dev/null >"$files/program.log" 2>&1 &
pid=$!
win=$(timeout 120 xdotool search --sync --onlyvisible --name '^Quenzel$' | head -n 1) || true
[ -n "$win" ] || { echo "FAIL: no window"; exit 1; }
xdotool windowfocus --sync "$win" key --delay 300 alt+a alt+m alt+d alt+o
for i in $(seq 1 240); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
! kill -0 $pid 2>/dev/null || { echo "FAIL: the program did not end after \"&OK\""; exit 1; }

got=$(for q in 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer /v NoDriveTypeAutoRun' \
    'HKLM\SOFTWARE\Classes\AudioCD\shell /ve' 'HKLM\Enum\SCSI\CD-ROM_LAUFWERK\0 /v AutoInsertNotification'; do
    W wine reg query $q 2>/dev/null | tr -d '\r' | awk 'NF >= 2 && $2 ~ /^REG_/ { $1 = $1; print }'
done)
want=$(printf 'NoDriveTypeAutoRun REG_BINARY 91000000\n(Default) REG_SZ\nAutoInsertNotification REG_BINARY 00')
[ "$got" = "$want" ] || { echo "FAIL: expected \"$want\", found \"$got\""; exit 1; }
echo "the 32-bit run behaved"
