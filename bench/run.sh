#!/bin/sh
# Builds the benchmarks in their own build directories and prints all their figures:
#   1. start-up of quenzel.exe against an empty window and against the same window with its
#      controls, under Wine on a virtual display,
#   2. the device search natively on the in-memory registry (Google Benchmark) and under Wine
#      on advapi32,
#   3. the size of both programs and the DLLs they import.
# Usage: bench/run.sh            (QUENZEL_BENCH_RUNS: start-up runs per program, default 30;
#                                 QUENZEL_BENCH_SEARCH_RUNS: searches per size under Wine, 15)
# Wine runs in a throw-away prefix with one wineserver for the whole run; it is seeded with
# scripts/win95.reg, so quenzel.exe reads real settings, its device list included.
set -eu
cd "$(dirname "$0")/.."
top=$(pwd)
runs=${QUENZEL_BENCH_RUNS:-30}
searchRuns=${QUENZEL_BENCH_SEARCH_RUNS:-15}

# Inside the virtual display: prepare the prefix, run both Wine benchmarks, end the server.
if [ "${1:-}" = --wine-part ]; then
    quiet() { "$@" </dev/null >/dev/null 2>&1; }
    bin="$top/build/bench-windows"
    quiet wineboot -i
    # No window manager on the virtual display: Wine draws the frames itself.
    quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    quiet wineserver -k || true
    quiet wineserver -w || true
    quiet wineserver -p
    quiet wine regedit /s "$(winepath -w "$top/scripts/win95.reg")"
    out="$WINEPREFIX/out.txt"
    status=0
    wine "$bin/bench/startup_bench.exe" "$runs" "$(winepath -w "$bin/quenzel.exe")" \
        "$(winepath -w "$bin/bench/bare_window.exe")" "CD-ROM-Laufwerk (SCSI)" \
        </dev/null >"$out" 2>&1 || status=1
    tr -d '\r' <"$out"
    echo
    wine "$bin/bench/device_search_wine.exe" "$searchRuns" </dev/null >"$out" 2>&1 || status=1
    tr -d '\r' <"$out"
    quiet wineserver -k || true
    exit $status
fi

scripts/install-deps.sh test
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

echo "== building (build/bench-native, build/bench-windows, build/bench-win95)"
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
    -DQUENZEL_TESTS=OFF >/dev/null
cmake --build build/bench-native --target device_search_bench -j2 >/dev/null
cmake -S . -B build/bench-windows -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DQUENZEL_TESTS=OFF >/dev/null
cmake --build build/bench-windows -j2 \
    --target quenzel bare_window startup_bench device_search_wine >/dev/null
cmake -S . -B build/bench-win95 -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DQUENZEL_TESTS=OFF >/dev/null
cmake --build build/bench-win95 -j2 --target quenzel >/dev/null

status=0
echo
echo "== 1. start-up and 2. device search under Wine"
WINEPREFIX=$(mktemp -d /tmp/quenzel-bench-prefix.XXXXXX)
export WINEPREFIX
trap 'rm -rf "$WINEPREFIX"' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" sh "$top/bench/run.sh" --wine-part || status=1

echo
echo "== 2. device search natively"
json=build/bench-native/device_search.json
# The two benchmarks' repetitions in random order, so that other load on the machine falls on
# both alike; medians of the repetitions.
build/bench-native/bench/device_search_bench --benchmark_min_time=0.1 \
    --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$json" --benchmark_out_format=json >build/bench-native/device_search.txt 2>&1
python3 bench/search_summary.py "$json" || status=1

echo
echo "== 3. size"
bench/size.sh build/bench-windows/quenzel.exe build/bench-win95/quenzel.exe || status=1

echo
echo "machine: $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
