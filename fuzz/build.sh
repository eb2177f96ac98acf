#!/bin/sh
# Builds the fuzz target with clang into build/fuzz (or $QUENZEL_FUZZ_BUILD).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${QUENZEL_FUZZ_BUILD:-$root/build/fuzz}
cxx=${CXX:-clang++-14}
mkdir -p "$out"

engine="registry/reg_tree.cpp registry/memory_registry.cpp settings/settings.cpp
        tests/regedit4.cpp tests/relations.cpp"
flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -fno-sanitize-recover=all
       -Wall -Wextra -Wpedantic -Wshadow -Werror"

cd "$root"
# shellcheck disable=SC2086 # the lists are meant to split
"$cxx" $flags -fsanitize=fuzzer,address,undefined -o "$out/settings_fuzzer" \
    fuzz/settings_fuzzer.cpp $engine
echo "built $out/settings_fuzzer"
