#!/bin/sh
# Installs what is missing, builds quenzel.exe and starts it under Wine.
# Without WINEPREFIX it uses its own prefix, build/quenzel-prefix, seeded on first use with a
# Windows 95-like registry (scripts/win95.reg); settings saved with "OK" persist there. With
# WINEPREFIX set, that prefix is used as it is. Without an X display the window opens on a
# virtual one, a screenshot goes to build/quenzel.png and the window is closed without saving.
# QUENZEL_DPI=144 or 192 (own prefix only) shows the window at another screen resolution.
set -eu
cd "$(dirname "$0")/.."
top=$(pwd)
exe="$top/build/windows/quenzel.exe"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

quiet() { "$@" </dev/null >/dev/null 2>&1; }

if [ "${1:-}" = --virtual ]; then
    own=$QUENZEL_OWN_PREFIX # this script again, inside the virtual display
else
    scripts/install-deps.sh run
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target quenzel
    if [ -n "${WINEPREFIX:-}" ]; then
        own=no
    else
        own=yes
        export WINEPREFIX="$top/build/quenzel-prefix"
    fi
    export QUENZEL_OWN_PREFIX=$own
fi

if [ "$own" = yes ] && [ ! -f "$WINEPREFIX/.quenzel-seeded" ]; then
    echo "creating the Windows 95-like prefix $WINEPREFIX"
    quiet wineboot -i
    quiet wine regedit /s "$(winepath -w "$top/scripts/win95.reg")"
    quiet wineserver -w
    touch "$WINEPREFIX/.quenzel-seeded"
fi

# The frame Wine draws on the virtual display takes its close glyph from the Marlett font.
# Debian's Wine looks for its own fonts in "<data dir>\../fonts", a folder name with a slash
# that never resolves, so it finds none of those in /usr/share/wine/fonts (fonts-wine) and
# shows a letter "r" instead; the prefix's own Fonts folder is always searched.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ "$own" = yes ] && [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi

# Runs with the display the program will use: the first Wine process of a server fixes the
# display for every later one, so the server is started here and not before.
start() {
    if [ "$own" = yes ]; then
        # One server for the whole run, so that the device list imported now is still there
        # when the program starts; it ends a few seconds after the program.
        quiet wineserver -p5
        devices="$WINEPREFIX/drive_c/quenzel-devices.reg"
        awk 'NR == 1 { print; next } /^\[/ { keep = ($0 ~ /^\[HKEY_DYN_DATA/) } keep' \
            "$top/scripts/win95.reg" >"$devices"
        quiet wine regedit /s 'C:\quenzel-devices.reg'
        # The screen resolution of this run (96 dpi unless QUENZEL_DPI says otherwise).
        dpi=$(printf '%08x' "${QUENZEL_DPI:-96}")
        quiet wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
            /d "0x$dpi" /f
        quiet wine reg add \
            'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
            /v LogPixels /t REG_DWORD /d "0x$dpi" /f
        # Wine draws its own frames where there is no window manager (the virtual display).
        if [ "$1" = virtual ]; then
            quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
        else
            quiet wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f || true
        fi
    fi
    wine "$exe" </dev/null
}

shot="$top/build/quenzel.png"
if [ "${1:-}" = --virtual ]; then
    start virtual >/dev/null 2>&1 &
    pid=$!
    win=$(timeout 60 xdotool search --sync --name "^Quenzel\$" | head -n 1)
    [ -n "$win" ] || { echo "the window did not appear" >&2; kill $pid; exit 1; }
    sleep 2
    import -window root "$shot"
    xdotool windowfocus --sync "$win" key alt+F4
    for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 $pid 2>/dev/null || break; sleep 1; done
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    exit 0
fi

quiet wineserver -w || true
if [ -n "${DISPLAY:-}" ]; then
    status=0
    start display || status=$?
    quiet wineserver -w || true
    exit $status
fi

# No display: a virtual one, a screenshot, and the window closed without saving.
xvfb-run -a -s "-screen 0 800x600x24 -dpi ${QUENZEL_DPI:-96}" sh "$0" --virtual
quiet wineserver -w || true
echo "no display: the window ran on a virtual one; screenshot in $shot; closed without saving"
