#!/usr/bin/env python3
"""The mutation run: does the suite notice hand-made faults?

Each mutant of mutants.txt (beside this script) is applied in turn to a scratch
git worktree, the worktree's build folder is rebuilt incrementally and the
suite is run until its first failure. A mutant the suite fails on is killed;
one it passes survived, and is a hole in the suite. The source is restored
after each mutant.

    tests/mutation/run.py [--tree DIR] [--only NAME ...] [--window] [--out FILE]

--tree is the scratch worktree (made from HEAD when missing; default
/tmp/pachinko-mutation), built in DIR/build-mut. The suite runs in stages,
cheapest first, and a mutant stops at the first stage that fails:
  1. the unit and headless end-to-end tests (one pachinko_tests process,
     --gtest_fail_fast);
  2. the Qt window (offscreen) and recording tests, the OpenAL tests
     and the option test;
  3. with --window, the real window journey under Xvfb (several minutes).
--quick runs the first stage only.
The install tests never run: they check the packaging, which no mutant
touches. This is a tool for people, not part of "make test".
"""
import argparse
import os
import re
import subprocess
import sys
import time
from itertools import zip_longest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
JOBS = "2"


class Mutant:
    def __init__(self, name, why):
        self.name, self.why = name, why
        self.file, self.old, self.new = None, [], []


def parse(path):
    mutants, current = [], None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.startswith("## "):
                name, _, why = line[3:].partition(":")
                current = Mutant(name.strip(), why.strip())
                mutants.append(current)
            elif current is None or not line or line.startswith("# "):
                continue
            elif line.startswith("file: "):
                current.file = line[6:].strip()
            elif line.startswith("- ") or line == "-":
                current.old.append(line[2:])
            elif line.startswith("+ ") or line == "+":
                current.new.append(line[2:])
            else:
                sys.exit(f"{path}:{number}: cannot read: {line}")
    names = [m.name for m in mutants]
    if len(set(names)) != len(names):
        sys.exit("mutant names repeat")
    return mutants


def snippet(lines):
    return "\n".join(lines)


def check(mutants, tree):
    """Every original snippet must occur exactly once in its file."""
    bad = []
    for m in mutants:
        path = os.path.join(tree, m.file or "")
        if not m.file or not m.old or not os.path.isfile(path):
            bad.append(f"{m.name}: no file or no original text")
            continue
        count = open(path, encoding="utf-8").read().count(snippet(m.old))
        if count != 1:
            bad.append(f"{m.name}: the original text occurs {count} times in {m.file}")
    return bad


def run(command, cwd, timeout, env=None):
    """(passed, seconds, last lines of output); a timeout counts as a failure."""
    start = time.monotonic()
    try:
        p = subprocess.run(command, cwd=cwd, env=env, timeout=timeout, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, text=True, errors="replace")
        ok, out = p.returncode == 0, p.stdout
    except subprocess.TimeoutExpired as e:
        ok, out = False, (e.stdout or b"").decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")
        out += f"\n(timed out after {timeout} s)"
    return ok, time.monotonic() - start, "\n".join(out.splitlines()[-15:])


def first_failure(output):
    found = re.findall(r"\[  FAILED  \] (\S+)", output) or re.findall(r"\d+ - (\S+) \(Failed|\(Timeout", output)
    if found:
        return found[0]
    return "timeout" if "timed out" in output else "failed"


def stages(build, window, quick=False):
    tests = os.path.join(build, "tests")
    result = [
        ("unit+e2e", ["pachinko_tests"],
         [os.path.join(tests, "pachinko_tests"), "--gtest_fail_fast", "--gtest_brief=1"], 400),
        ("qt+openal", ["pachinko_qt_tests", "pachinko_qt_recording_tests",
                       "pachinko_openal_tests", "pachinko", "pachinko-headless"],
         ["ctest", "--stop-on-failure", "-j" + JOBS, "-R", r"^(qt_|pachinko_options$|OpenAlTest\.)"], 900),
    ]
    if quick:
        return result[:1]
    if window:
        result.append(("window", ["window_e2e"], ["ctest", "-R", "^window_e2e$"], 1200))
    return result


def build_targets(build, targets, timeout=1800):
    return run(["cmake", "--build", build, "-j" + JOBS, "--target"] + targets, None, timeout)


def run_suite(build, window, quick):
    """(killed, stage, detail, seconds)."""
    total = 0.0
    for name, targets, command, timeout in stages(build, window, quick):
        ok, seconds, out = build_targets(build, targets)
        total += seconds
        if not ok:
            return None, name, "does not build:\n" + out, total
        cwd = build if command[0] == "ctest" else os.path.join(build, "tests")
        ok, seconds, out = run(command, cwd, timeout)
        total += seconds
        if not ok:
            return True, name, first_failure(out), total
    return False, "", "", total


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tree", default="/tmp/pachinko-mutation")
    parser.add_argument("--only", nargs="*", help="names of the mutants to run")
    parser.add_argument("--window", action="store_true", help="also run the real window journey")
    parser.add_argument("--quick", action="store_true", help="only the first stage (pachinko_tests)")
    parser.add_argument("--out", help="write the report here as well")
    parser.add_argument("--check", action="store_true", help="only check that every mutant applies")
    args = parser.parse_args()

    mutants = parse(os.path.join(HERE, "mutants.txt"))
    if args.only:
        unknown = set(args.only) - {m.name for m in mutants}
        if unknown:
            sys.exit("unknown mutants: " + " ".join(sorted(unknown)))
        mutants = [m for m in mutants if m.name in args.only]
    # One mutant of each file in turn, so that a run cut short has still
    # tried every part of the game.
    by_file = {}
    for m in mutants:
        by_file.setdefault(m.file, []).append(m)
    mutants = [m for group in zip_longest(*by_file.values()) for m in group if m]
    tree = os.path.abspath(args.tree)
    if not os.path.isdir(tree):
        subprocess.run(["git", "-C", SOURCE, "worktree", "add", "--detach", tree, "HEAD"], check=True)
    bad = check(mutants, tree)
    if bad:
        sys.exit("mutants that do not apply:\n  " + "\n  ".join(bad))
    if args.check:
        print(f"{len(mutants)} mutants apply to {tree}")
        return
    build = os.path.join(tree, "build-mut")
    if not os.path.isfile(os.path.join(build, "build.ninja")):
        # lld: most of a mutant's rebuild is linking the test programs.
        subprocess.run(["cmake", "-S", tree, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                        "-DPACHINKO_BENCH=OFF", "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld"], check=True,
                       stdout=subprocess.DEVNULL)

    commit = subprocess.run(["git", "-C", tree, "rev-parse", "--short", "HEAD"], stdout=subprocess.PIPE,
                            text=True).stdout.strip()
    killed, stage, detail, seconds = run_suite(build, args.window, args.quick)
    if killed is not False:
        sys.exit(f"the unmutated suite does not pass ({stage}): {detail}")
    print(f"unmutated suite passes in {seconds:.0f} s (tree {tree} at {commit})", flush=True)

    lines, counts, start = [], {"killed": 0, "survived": 0, "invalid": 0}, time.monotonic()
    for i, m in enumerate(mutants, 1):
        path = os.path.join(tree, m.file)
        with open(path, encoding="utf-8") as f:
            original = f.read()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original.replace(snippet(m.old), snippet(m.new), 1))
            killed, stage, detail, seconds = run_suite(build, args.window, args.quick)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        if killed is None:
            verdict = "invalid"
            note = detail.splitlines()[-1] if detail else ""
        elif killed:
            verdict, note = "killed", f"{stage}: {detail}"
        else:
            verdict, note = "survived", ""
        counts[verdict] += 1
        line = f"{verdict:8} {m.name:34} {seconds:5.0f} s  {note}"
        lines.append((verdict, m, line))
        print(f"[{i}/{len(mutants)}] {line}", flush=True)
    build_targets(build, [s[1] for s in stages(build, args.window)][0])  # leave the tree built unmutated

    minutes = (time.monotonic() - start) / 60
    report = [f"mutation run at {commit}: {len(mutants)} mutants, {counts['killed']} killed, "
              f"{counts['survived']} survived, {counts['invalid']} invalid, {minutes:.0f} min"]
    report += [line for _, _, line in lines]
    survivors = [m for verdict, m, _ in lines if verdict == "survived"]
    if survivors:
        report.append("survivors (holes in the suite):")
        report += [f"  {m.name} ({m.file}): {m.why}" for m in survivors]
    text = "\n".join(report) + "\n"
    print("\n" + text)
    if args.out:
        with open(args.out, "w", encoding="utf-8") as f:
            f.write(text)
    sys.exit(1 if survivors or counts["invalid"] else 0)


if __name__ == "__main__":
    main()
