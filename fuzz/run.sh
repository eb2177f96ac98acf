#!/bin/sh
# Builds the fuzz target and runs it for a bounded time on the committed seeds:
#   fuzz/run.sh [seconds]     (default 60)
# Both cores fuzz (QUENZEL_FUZZ_JOBS, default 2). New inputs go to a scratch directory, so the
# committed corpus stays as it is. Exits non-zero when an input breaks the engine; that input is
# kept in build/fuzz/artifacts/ and the log says what broke.
set -eu
seconds=${1:-60}
jobs=${QUENZEL_FUZZ_JOBS:-2}
root=$(cd "$(dirname "$0")/.." && pwd)
out=${QUENZEL_FUZZ_BUILD:-$root/build/fuzz}

"$root/fuzz/build.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM
mkdir -p "$out/artifacts"

set +e
"$out/settings_fuzzer" -fork="$jobs" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
    -max_len=4096 -print_funcs=0 -print_final_stats=1 -artifact_prefix="$out/artifacts/" \
    "$scratch" "$root/fuzz/corpus"
status=$?
set -e
if [ "$status" -ne 0 ]; then
    echo "fuzz: failed with status $status; inputs in $out/artifacts/:" >&2
    ls -l "$out/artifacts/" >&2
fi
exit "$status"
