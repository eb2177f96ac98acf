#!/bin/sh
# Runs the native engine tests under valgrind's memcheck, built without sanitizers in a build
# directory of its own (build/valgrind, or $QUENZEL_VALGRIND_BUILD).
# Exits non-zero on any memory error or leak.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${QUENZEL_VALGRIND_BUILD:-$root/build/valgrind}

cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ \
    -DQUENZEL_TESTS=ON -DQUENZEL_SANITIZE=OFF >/dev/null
cmake --build "$out" --target engine_tests -j 2 >/dev/null

valgrind --tool=memcheck --error-exitcode=1 --leak-check=full \
    --errors-for-leak-kinds=definite,indirect --track-origins=yes --quiet \
    "$out/tests/engine_tests" --gtest_brief=1
echo "valgrind: no memory errors"
