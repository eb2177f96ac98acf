#!/bin/sh
# Runs 32-bit Windows programs on this 64-bit machine, whose kernel runs no 32-bit code: qemu's
# user-mode emulator (registered through binfmt_misc) runs a 32-bit Debian root with Debian's own
# 32-bit Wine, whose prefix reports Windows 95. Everything is cached outside the work tree.
#   scripts/emu32.sh setup         make what is missing: emulator, root, Wine, prefix (idempotent)
#   scripts/emu32.sh with CMD...   set up, mount the root's /proc, /sys, /dev and X socket folder,
#                                  run CMD here with EMU32 naming this script, then end every
#                                  process in the root and unmount, whatever happened
#   scripts/emu32.sh exec CMD...   run CMD inside the root (during "with"): WINEPREFIX defaults to
#                                  the cached Windows 95 prefix /root/win95, DISPLAY passes through
#   scripts/emu32.sh can           exit 0 when this machine can run it (root, binfmt_misc)
#   scripts/emu32.sh unmount       unmount whatever is still mounted inside the root
#   scripts/emu32.sh purge         unmount, delete the cache, unregister the emulator
# QUENZEL_EMU32_CACHE sets the cache (default /var/cache/quenzel-emu32); the 32-bit root is its root/.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
self="$here/$(basename "$0")"
cache=${QUENZEL_EMU32_CACHE:-/var/cache/quenzel-emu32}
root="$cache/root"
qemu="$cache/qemu-i386"
binfmt=/proc/sys/fs/binfmt_misc
prefix=/root/win95

say() { echo "emu32: $*" >&2; }
die() { say "$*"; exit 1; }
seconds() { echo $(($(date +%s) - $1)); }

# The first Debian mirror of the machine's own apt sources.
mirror() {
    m=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '$1 == "URIs:" { print $2 }' |
        grep -v security | head -n 1)
    [ -n "$m" ] || m=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        awk '$1 == "deb" { print $2 }' | grep -v security | head -n 1)
    [ -n "$m" ] || die "no Debian mirror in the apt sources"
    echo "$m"
}

can() {
    [ "$(id -u)" = 0 ] || { say "needs root (chroot, mount, binfmt_misc)"; return 1; }
    if [ ! -w "$binfmt/register" ]; then
        mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
            { say "binfmt_misc cannot be mounted at $binfmt"; return 1; }
    fi
}

# qemu-user 10 of the next Debian release, a static binary, unpacked into the cache only: the
# release's own 7.2 takes about 50 s of CPU to start one Wine process.
ensure_qemu() {
    [ -x "$qemu" ] && return
    apt="$cache/apt-next"
    rm -rf "$apt" && mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/deb"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $(mirror) trixie main" \
        >"$apt/sources.list"
    set -- -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null \
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt" -o Acquire::Languages=none \
        -o APT::Architectures::=amd64
    apt-get "$@" -q update >"$cache/qemu.log" 2>&1 || die "apt update failed: $cache/qemu.log"
    (cd "$apt/deb" && apt-get "$@" download qemu-user) >>"$cache/qemu.log" 2>&1 ||
        die "qemu-user download failed: $cache/qemu.log"
    dpkg-deb -x "$apt/deb"/qemu-user_*.deb "$apt/x"
    cp "$apt/x/usr/bin/qemu-i386" "$qemu.new" && mv "$qemu.new" "$qemu"
    rm -rf "$apt"
    say "$("$qemu" --version | head -n 1)"
}

# 32-bit ELF programs go to qemu; F opens it now, so that it also works inside the root.
ensure_binfmt() {
    entry="$binfmt/quenzel-i386"
    if [ -e "$entry" ]; then
        grep -qx "interpreter $qemu" "$entry" && grep -qx enabled "$entry" && return
        echo -1 >"$entry"
    fi
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":quenzel-i386:M::$magic:$mask:$qemu:PF" >"$binfmt/register"
}

# Mount points inside the root, deepest first.
mounts_inside() {
    awk -v r="$root/" 'index($5, r) == 1 { print length($5), $5 }' /proc/self/mountinfo |
        sort -rn | cut -d' ' -f2-
}

# Ends every process whose root is the root (all started by this script), then unmounts
# everything inside it and checks that nothing is left.
release() {
    [ -d "$root" ] || return 0
    if [ -x "$root/usr/bin/wineserver" ] && mountpoint -q "$root/proc"; then
        run_inside wineserver -k </dev/null >/dev/null 2>&1 || true
    fi
    for signal in TERM KILL; do
        for p in /proc/[0-9]*; do
            [ "$(readlink "$p/root" 2>/dev/null)" != "$root" ] || kill -s $signal "${p#/proc/}" 2>/dev/null || true
        done
        sleep 0.5
    done
    for m in $(mounts_inside); do umount -R "$m" 2>/dev/null || umount -R -l "$m" || true; done
    left=$(mounts_inside)
    [ -z "$left" ] || die "still mounted inside $root: $left"
    for m in proc sys dev tmp/.X11-unix; do
        ! mountpoint -q "$root/$m" || die "$root/$m is still a mount point"
    done
}

# /dev is a small tmpfs of its own (never the host's /dev: deleting the root then cannot reach
# the host's device nodes); /proc its own; /sys read-only; the host's X sockets for Xvfb.
mount_all() {
    mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
    if ! mountpoint -q "$root/sys"; then
        mount --bind /sys "$root/sys" && mount -o remount,bind,ro "$root/sys"
    fi
    if ! mountpoint -q "$root/dev"; then
        mount -t tmpfs -o mode=755,size=64m emu32-dev "$root/dev"
        for node in null:3 zero:5 full:7 random:8 urandom:9; do
            mknod -m 666 "$root/dev/${node%:*}" c 1 "${node#*:}"
        done
        mknod -m 666 "$root/dev/tty" c 5 0
        mkdir -m 1777 "$root/dev/shm"
        ln -s /proc/self/fd "$root/dev/fd"
    fi
    mkdir -p /tmp/.X11-unix "$root/tmp/.X11-unix"
    chmod 1777 /tmp/.X11-unix
    mountpoint -q "$root/tmp/.X11-unix" || mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
}

run_inside() {
    chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/bin:/bin LANG=C.UTF-8 \
        DISPLAY="${DISPLAY:-}" WINEPREFIX="${EMU32_PREFIX:-$prefix}" WINEARCH=win32 \
        WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" \
        LD_PRELOAD=/usr/local/lib/trapfix.so "$@"
}

lock() {
    mkdir -p "$cache"
    exec 9>"$cache/lock"
    flock -w 3600 9 || die "another emu32.sh holds $cache/lock"
}

# A root that failed half-way is removed, but only once nothing is mounted inside it.
remove_root() {
    release
    rm -rf --one-file-system "$root"
}

setup() {
    can || exit 1
    start=$(date +%s)
    ensure_qemu
    ensure_binfmt
    if [ ! -f "$root/.base" ]; then
        [ ! -e "$root" ] || remove_root
        t=$(date +%s)
        say "debootstrap: a 32-bit Debian 12 root in $root"
        debootstrap --arch=i386 --variant=minbase bookworm "$root" "$(mirror)" \
            >"$cache/debootstrap.log" 2>&1 || { release; die "debootstrap failed: $cache/debootstrap.log"; }
        release
        touch "$root/.base"
        say "debootstrap took $(seconds "$t") s"
    fi
    if [ ! -f "$root/.wine" ] || [ ! -f "$root/.trapfix" ] || [ ! -f "$root$prefix/.win95" ]; then
        (trap release EXIT && mount_all && inside_setup)
    fi
    say "set up in $(seconds "$start") s"
}

# The parts made inside the mounted root.
inside_setup() {
    if [ ! -f "$root/.wine" ]; then
        t=$(date +%s)
        cp /etc/resolv.conf "$root/etc/resolv.conf"
        chroot "$root" /usr/bin/env DEBIAN_FRONTEND=noninteractive PATH=/usr/sbin:/usr/bin:/sbin:/bin \
            sh -c 'apt-get -q update && apt-get install -y -q --no-install-recommends wine wine32 fonts-wine libc6-dev' \
            >"$cache/wine.log" 2>&1 || die "installing wine32 in the root failed: $cache/wine.log"
        touch "$root/.wine"
        say "wine32 in the root took $(seconds "$t") s"
    fi
    if [ ! -f "$root/.trapfix" ]; then
        obj="$cache/trapfix.o"
        gcc -m32 -O2 -fPIC -fno-stack-protector -isystem "$root/usr/include" \
            -isystem "$root/usr/include/i386-linux-gnu" -c "$here/emu32-trapfix.c" -o "$obj"
        gcc -m32 -shared -nostdlib -o "$root/usr/local/lib/trapfix.so" "$obj" \
            "$root/usr/lib/i386-linux-gnu/libc.so.6"
        touch "$root/.trapfix"
    fi
    if [ ! -f "$root$prefix/.win95" ]; then
        t=$(date +%s)
        rm -rf "$root$prefix"
        # wineboot wants a display; the prefix then reports Windows 95 and lets Wine draw the
        # window frames itself (Xvfb has no window manager).
        xvfb-run -a -s "-screen 0 640x480x24" sh -c '
            "$0" exec wineboot -i && "$0" exec wine reg add "HKCU\\Software\\Wine" /v Version /d win95 /f &&
            "$0" exec wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f &&
            "$0" exec wineserver -w' "$self" </dev/null >"$cache/prefix.log" 2>&1 ||
            die "making the prefix failed: $cache/prefix.log"
        grep -q '^#arch=win32' "$root$prefix/system.reg" || die "no win32 prefix: $cache/prefix.log"
        grep -q '"Version"="win95"' "$root$prefix/user.reg" || die "prefix not in win95 mode"
        touch "$root$prefix/.win95"
        say "the Windows 95 prefix took $(seconds "$t") s"
    fi
}

cmd=${1:-}
[ $# -eq 0 ] || shift
case $cmd in
setup) lock && setup ;;
with)
    [ $# -gt 0 ] || die "usage: emu32.sh with CMD..."
    lock
    setup
    # The command runs in the background: a shell acts on a signal only after its foreground
    # command ends, and then leaves without its EXIT trap.
    child=
    trap release EXIT
    trap '[ -z "$child" ] || kill $child 2>/dev/null; release; trap - EXIT; exit 130' INT TERM HUP
    mount_all
    EMU32="$self" EMU32_ROOT="$root" "$@" &
    child=$!
    status=0
    wait $child || status=$?
    child=
    exit $status
    ;;
exec)
    mountpoint -q "$root/proc" || die "the root is not mounted: use emu32.sh with"
    run_inside "$@"
    ;;
can) can ;;
unmount) lock && release ;;
purge)
    lock && remove_root && rm -rf "$cache"
    [ ! -e "$binfmt/quenzel-i386" ] || echo -1 >"$binfmt/quenzel-i386"
    ;;
*) sed -n '2,13p' "$self" | sed 's/^# \{0,1\}//' >&2 && exit 2 ;;
esac
