#!/usr/bin/env python3
"""The busiest ticks against one plain copy of a 640 x 416 x 4-byte frame.

Each run is one invocation of pachinko_bench that measures the frame copy and
the ticks together (repetitions randomly interleaved, so load from other
programs falls on all of them alike) and divides the median CPU times. Runs
are repeated to show the spread. With --callgrind it also counts the
instructions of one tick under valgrind (independent of load): two runs of
different lengths, so that what happens once (fonts, first glyphs) cancels.
Ticks are counted by their calls of presentFrame (one per tick).

usage: bench/tick_ratios.py BUILD/bench/pachinko_bench [--runs N] [--repetitions N] [--callgrind]
"""
import argparse
import json
import re
import statistics
import subprocess
import sys
import os
import tempfile

COPY = "BM_FrameMemcpy"
TICKS = {
    "BM_ParlourTickBusiest": "parlourTick",
    "BM_TownTickZooming": "townTick",
    "BM_TownTickZoomIntoRoom": "townTick",
}


def run_bench(bench, names, extra, workdir):
    pattern = "^(" + "|".join(names) + ")$"
    out = subprocess.run([bench, "--benchmark_filter=" + pattern, "--benchmark_format=json"] + extra,
                         capture_output=True, text=True, cwd=workdir, check=True)
    return json.loads(out.stdout)


def one_run(bench, repetitions, workdir):
    data = run_bench(bench, [COPY] + list(TICKS), ["--benchmark_repetitions=%d" % repetitions,
                                                   "--benchmark_enable_random_interleaving=true"], workdir)
    medians = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            if b.get("error_occurred"):
                sys.exit("%s: %s" % (b["run_name"], b.get("error_message")))
            medians[b["run_name"]] = b["cpu_time"]  # ns
    return medians


def instructions_per_tick(bench, name, function, workdir):
    """Ir of one call of function, and of its part outside the two whole-frame
    copies, from two callgrind runs of different lengths."""
    counts = []
    for seconds in ("1", "4"):
        out_file = "%s/%s-%s.cg" % (workdir, name, seconds)
        subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out_file, bench,
                        "--benchmark_filter=^%s$" % name, "--benchmark_min_time=" + seconds],
                       capture_output=True, check=True, cwd=workdir)
        tree = subprocess.run(["callgrind_annotate", "--inclusive=yes", "--tree=calling", out_file],
                              capture_output=True, text=True, check=True).stdout
        ir = calls = None
        copies = 0
        inside = False
        for line in tree.splitlines():
            if re.match(r"\s*[\d,]+ .*\*\s+\S*:%s\(" % function, line):
                ir = int(line.split()[0].replace(",", ""))
                inside = True
                continue
            if inside and not line.strip():
                inside = False
            m = re.match(r"\s*([\d,]+) .*>\s+\S*:(\w+)\(.*\(([\d,]+)x\)", line)
            if inside and m:
                if m.group(2) == "presentFrame":
                    calls = int(m.group(3).replace(",", ""))
                if m.group(2) in ("drawBackground", "presentFrame"):
                    copies += int(m.group(1).replace(",", ""))
        if ir is None or calls is None:
            sys.exit("no %s in the callgrind profile of %s" % (function, name))
        counts.append((ir, copies, calls))
    (ir1, c1, n1), (ir2, c2, n2) = counts
    return (ir2 - ir1) / (n2 - n1), ((ir2 - c2) - (ir1 - c1)) / (n2 - n1)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bench")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--callgrind", action="store_true")
    args = parser.parse_args()
    args.bench = os.path.abspath(args.bench)

    with tempfile.TemporaryDirectory() as workdir:
        ratios = {name: [] for name in TICKS}
        print("run  frame copy  " + "  ".join("%-21s" % name for name in TICKS))
        for run in range(1, args.runs + 1):
            m = one_run(args.bench, args.repetitions, workdir)
            copy = m[COPY]
            cells = []
            for name in TICKS:
                ratios[name].append(m[name] / copy)
                cells.append("%7.1f us = %.2f x" % (m[name] / 1000, m[name] / copy))
            print("%3d  %7.1f us  %s" % (run, copy / 1000, "  ".join(cells)))
        print()
        for name, values in ratios.items():
            print("%-26s ratio median %.2f, min %.2f, max %.2f" %
                  (name, statistics.median(values), min(values), max(values)))

        if args.callgrind:
            print()
            # glibc copies a whole frame with one "rep movsb", which callgrind
            # counts once per byte: the copies are better compared by time.
            print("instructions per tick (callgrind): all, and without the background and present copies")
            for name, function in TICKS.items():
                total, rest = instructions_per_tick(args.bench, name, function, workdir)
                print("%-26s %9.0f %9.0f" % (name, total, rest))


if __name__ == "__main__":
    main()
