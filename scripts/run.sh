#!/bin/sh
# Installs what is missing, builds quenzel.exe and starts it under Wine.
# Without WINEPREFIX it uses its own prefix, build/quenzel-prefix, seeded on first use with a
# Windows 95-like registry (scripts/win95.reg); settings saved with "OK" persist there. With
# WINEPREFIX set, that prefix is used as it is. Without an X display the window opens on a
# virtual one, a screenshot goes to build/quenzel.png and the window is closed without saving.
# QUENZEL_DPI=144 (own prefix only) shows the window at another screen resolution.
set -eu
cd "$(dirname "$0")/.."
top=$(pwd)
scripts/install-deps.sh run
cmake --preset windows >/dev/null
cmake --build --preset windows --target quenzel
exe="$top/build/windows/quenzel.exe"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

quiet() { "$@" </dev/null >/dev/null 2>&1; }

if [ -n "${WINEPREFIX:-}" ]; then
    own=no
else
    own=yes
    export WINEPREFIX="$top/build/quenzel-prefix"
fi

if [ "$own" = yes ]; then
    if [ ! -f "$WINEPREFIX/.quenzel-seeded" ]; then
        echo "creating the Windows 95-like prefix $WINEPREFIX"
        quiet wineboot -i
        quiet wine regedit /s "$(winepath -w "$top/scripts/win95.reg")"
        quiet wineserver -w
        touch "$WINEPREFIX/.quenzel-seeded"
    fi
    # One server for the whole run, so that the device list imported now is still there when
    # the program starts; it ends a few seconds after the program.
    quiet wineserver -p5
    devices="$WINEPREFIX/drive_c/quenzel-devices.reg"
    awk 'NR == 1 { print; next } /^\[/ { keep = ($0 ~ /^\[HKEY_DYN_DATA/) } keep' \
        "$top/scripts/win95.reg" >"$devices"
    quiet wine regedit /s 'C:\quenzel-devices.reg'
    if [ -n "${QUENZEL_DPI:-}" ]; then
        dpi=$(printf '%08x' "$QUENZEL_DPI")
        quiet wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "0x$dpi" /f
        quiet wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
            /v LogPixels /t REG_DWORD /d "0x$dpi" /f
    fi
fi

if [ -n "${DISPLAY:-}" ]; then
    [ "$own" = yes ] && quiet wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f || true
    wine "$exe"
    status=$?
    quiet wineserver -w || true
    exit $status
fi

# No display: a virtual one, with Wine drawing its own window frames (there is no window
# manager there).
[ "$own" = yes ] && quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
shot="$top/build/quenzel.png"
EXE="$exe" SHOT="$shot" xvfb-run -a -s "-screen 0 800x600x24 -dpi ${QUENZEL_DPI:-96}" sh -c '
    wine "$EXE" </dev/null >/dev/null 2>&1 &
    pid=$!
    win=$(timeout 30 xdotool search --sync --name "^Quenzel\$" | head -n 1)
    sleep 2
    import -window root "$SHOT"
    xdotool windowfocus --sync "$win" key alt+F4
    for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 $pid 2>/dev/null || break; sleep 1; done
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
'
quiet wineserver -w || true
echo "no display: the window ran on a virtual one; screenshot in $shot; closed without saving"
