#!/bin/sh
# Installs with apt-get what building, running and testing need; packages already present are
# skipped. Never installs wine32: on these 64-bit machines it breaks wine for 64-bit programs.
# Usage: scripts/install-deps.sh [run|test]   (default: test, which is everything)
set -eu
what=${1:-test}
packages="cmake make g++ googletest wine wine64 fonts-wine g++-mingw-w64-x86-64 xvfb xauth xdotool imagemagick"
if [ "$what" = test ]; then
    packages="$packages g++-mingw-w64-i686 valgrind zip icoutils debootstrap mtools xorriso python3"
fi
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
        missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
