#!/bin/sh
# Builds the benchmarks in their own build directories and prints all their figures:
#   1. start-up of quenzel.exe against an empty window and against the same window with its
#      controls, under Wine on a virtual display,
#   2. the device search under Wine on advapi32, and natively on the in-memory registry, where
#      callgrind also counts its instructions,
#   3. the size of both programs and the DLLs they import.
# Usage: bench/run.sh            (QUENZEL_BENCH_RUNS: start-up runs per program, default 30;
#                                 QUENZEL_BENCH_SEARCH_RUNS: timed searches per length, 15)
#        bench/run.sh --native   (the native device search alone)
#        bench/run.sh --startup  (the start-up alone; QUENZEL_BENCH_BARE: another baseline .exe)
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
        "$(winepath -w "${QUENZEL_BENCH_BARE:-$bin/bench/bare_window.exe}")" "CD-ROM-Laufwerk (SCSI)" \
        </dev/null >"$out" 2>&1 || status=1
    tr -d '\r' <"$out"
    if [ "${2:-}" != --startup ]; then
        echo
        echo "on advapi32 (under Wine):"
        wine "$bin/bench/search_advapi32.exe" "$searchRuns" </dev/null >"$out" 2>&1 || status=1
        tr -d '\r' <"$out"
    fi
    quiet wineserver -k || true
    exit $status
fi

# The device search natively: elapsed times (they move with the machine's load), then the
# instructions of one search of each kind per length, counted by callgrind (they do not).
native_search() {
    echo "on the in-memory registry (natively):"
    build/bench-native/bench/search_memory "$searchRuns" || return 1
    dumps=build/bench-native/callgrind
    rm -rf "$dumps" && mkdir -p "$dumps"
    # An empty environment: its size moves the stack, and with it the alignment of the search's
    # buffers, which changes how many instructions the C library's string functions take.
    env -i "$(command -v valgrind)" --tool=callgrind --instr-atstart=no \
        --callgrind-out-file="$dumps/out" build/bench-native/bench/search_memory 0 \
        >"$dumps/log.txt" 2>&1 || return 1
    for dump in "$dumps"/out.*; do
        awk '/^desc: Trigger: Client Request:/ { kind = $5; n = $6 } /^summary:/ { print n, kind, $2 }' "$dump"
    done | sort -n | awk '
        { ir[$1, $2] = $3; if (!($1 in seen)) { seen[$1] = 1; order[++count] = $1 } }
        END {
            print "device search, instructions per search (callgrind)"
            printf "  %8s %14s %14s %12s %12s %7s\n", "entries", "search", "bare", "search/ent", "bare/ent", "ratio"
            for (i = 1; i <= count; i++) {
                n = order[i]; s = ir[n, "search"]; b = ir[n, "bare"]
                printf "  %8d %14d %14d %12.0f %12.0f %7.3f\n", n, s, b, s / n, b / n, s / b
                if (s / b > worst) worst = s / b
            }
            first = order[1]; last = order[count]
            printf "  largest ratio %.3f (target: at most 1.2); per entry from %d to %d entries: search x%.2f, bare calls x%.2f\n", worst, first, last, (ir[last, "search"] / last) / (ir[first, "search"] / first), (ir[last, "bare"] / last) / (ir[first, "bare"] / first)
        }'
}

scripts/install-deps.sh test
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

echo "== building (build/bench-native, build/bench-windows, build/bench-win95)"
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
    -DQUENZEL_TESTS=OFF >/dev/null
cmake --build build/bench-native --target search_memory -j2 >/dev/null
if [ "${1:-}" = --native ]; then
    native_search
    exit
fi
cmake -S . -B build/bench-windows -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DQUENZEL_TESTS=OFF >/dev/null
if [ "${1:-}" = --startup ]; then
    cmake --build build/bench-windows -j2 --target quenzel bare_window startup_bench >/dev/null
    WINEPREFIX=$(mktemp -d /tmp/quenzel-bench-prefix.XXXXXX)
    export WINEPREFIX
    trap 'rm -rf "$WINEPREFIX"' EXIT
    xvfb-run -a -s "-screen 0 1024x768x24" sh "$top/bench/run.sh" --wine-part --startup
    exit
fi
cmake --build build/bench-windows -j2 \
    --target quenzel bare_window startup_bench search_advapi32 >/dev/null
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
native_search || status=1

echo
echo "== 3. size"
bench/size.sh build/bench-windows/quenzel.exe build/bench-win95/quenzel.exe || status=1

echo
echo "machine: $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
