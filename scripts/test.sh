#!/bin/sh
# Installs what is missing, builds both builds and runs every test: the portable engine natively
# under AddressSanitizer and UndefinedBehaviorSanitizer and under valgrind, half a minute of fuzzing,
# the 32-bit program's imports against Windows 95, the Windows programs under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

echo "== native build: engine tests (ASan/UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== native engine tests under valgrind's memcheck"
scripts/valgrind.sh

# The generator's vocabulary is small: the seeds reach its coverage within seconds.
echo "== fuzzing the engine for half a minute on the committed seeds"
fuzz/run.sh 30

echo "== win95 build: the 32-bit program's imports against Windows 95"
cmake --preset win95 >/dev/null
cmake --build --preset win95
ctest --preset win95

echo "== windows build: tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows
