#!/bin/sh
# Installs what is missing, builds the three builds and runs every test: the portable engine
# natively under AddressSanitizer and UndefinedBehaviorSanitizer and under valgrind, the 32-bit
# program's imports against Windows 95, the Windows programs under Wine, and the real 32-bit
# program driven with keys under an emulated 32-bit Wine in Windows 95 mode (scripts/emu32.sh,
# set up once in /var/cache).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

echo "== native build: engine tests (ASan/UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== native engine tests under valgrind's memcheck"
scripts/valgrind.sh

echo "== 32-bit Wine under emulation for the 32-bit program's end-to-end run (set up once, cached)"
if sh scripts/emu32.sh can; then
    sh scripts/emu32.sh setup
else
    echo "this machine cannot run 32-bit programs: keys_e2e_32 fails under CI=true, skips otherwise"
fi

echo "== win95 build: the 32-bit program's imports against Windows 95, and its end-to-end run"
cmake --preset win95 >/dev/null
cmake --build --preset win95
ctest --preset win95

echo "== windows build: tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows
