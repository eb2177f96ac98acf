#!/usr/bin/env python3
"""Summarises device_search_bench's JSON output (--benchmark_out): for each length of the
device list the median processor time per entry of ReadValuesFromRegistry and of the bare
registry calls, their ratio, and the linear fits Google Benchmark made.

Usage: bench/search_summary.py RESULTS.json
"""

import json
import sys

SEARCH = "BM_ReadValuesFromRegistry"
BARE = "BM_BareRegistryCalls"


def main(path):
    with open(path) as f:
        benchmarks = json.load(f)["benchmarks"]
    per_entry = {}  # (name, entries) -> seconds per entry, median over the repetitions
    fits = {}  # name -> (nanoseconds per entry of the fit, RMS of the fit)
    for b in benchmarks:
        name = b["run_name"].split("/")[0]
        kind = b.get("aggregate_name", "")
        if b.get("error_occurred"):
            sys.exit("%s: %s" % (b["name"], b.get("error_message", "failed")))
        if kind == "median" or (b["run_type"] == "iteration" and "entries" in b):
            per_entry[(name, int(b["entries"]))] = b["cpu_time"] / b["entries"] * 1e-9
        elif kind == "BigO":
            fits.setdefault(name, [None, None])[0] = b["cpu_coefficient"]
        elif kind == "RMS":
            fits.setdefault(name, [None, None])[1] = b["rms"]

    counts = sorted({n for (name, n) in per_entry if name == SEARCH})
    if not counts or any((BARE, n) not in per_entry for n in counts):
        sys.exit("%s: no complete set of results" % path)
    print("device search on the in-memory registry, median processor time per entry")
    print("  %8s %16s %16s %7s" % ("entries", "search ns/entry", "bare ns/entry", "ratio"))
    for n in counts:
        search, bare = per_entry[(SEARCH, n)], per_entry[(BARE, n)]
        print("  %8d %16.1f %16.1f %7.3f" % (n, search * 1e9, bare * 1e9, search / bare))
    worst = max(per_entry[(SEARCH, n)] / per_entry[(BARE, n)] for n in counts)
    print("  largest ratio: %.3f (target: at most 1.2)" % worst)
    first, last = counts[0], counts[-1]
    for label, name in (("search", SEARCH), ("bare calls", BARE)):
        growth = per_entry[(name, last)] / per_entry[(name, first)]
        line = "  %s: time per entry x%.2f from %d to %d entries" % (label, growth, first, last)
        if name in fits and None not in fits[name]:
            line += "; linear fit %.1f ns * N, RMS %.0f%%" % (fits[name][0], fits[name][1] * 100)
        print(line)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
