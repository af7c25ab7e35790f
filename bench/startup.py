#!/usr/bin/env python3
"""Start-up to the first frame on screen, and peak memory: the game against a
minimal Qt Widgets window of the same size (bench/minimal_qt.cpp), under Xvfb.

Both programs are watched from outside in the same way: the clock starts when
the program is started; its window is looked for with xdotool and then read
back with xwd until a pixel of it is no longer black (the X server's black
root shows through until the program paints). Peak resident memory comes from
/usr/bin/time after a few seconds of running (the game ticking in its town).
The runs alternate between the two programs so that load from other
programs falls on both alike.

The game starts as a returning player would: in a copy of the build's game
folder with a saved game whose introduction is switched off, so no dialog or
box stands before the town. There is no sound card under Xvfb; OpenAL's null
device stands in (ALSOFT_DRIVERS=null), so the sound set-up still runs.

usage: bench/startup.py BUILD_DIR [--runs N] [--seconds S]
needs: Xvfb, xdotool, xwd (Debian: xvfb, xdotool, x11-apps)
"""
import argparse
import glob
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time


# An odd screen size tells our X server from any other on the same display.
SCREEN = "1031x777"


def start_xvfb():
    """An X server on a display number it picks itself; (process, ":N")."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", SCREEN + "x24", "-br", "-nolisten",
                             "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        number = f.readline().strip()
    if not number:
        sys.exit("Xvfb did not start")
    return xvfb, ":" + number


def painted(xwd):
    """True when any pixel of the window's lower half is not black."""
    fields = struct.unpack(">25I", xwd[:100])
    header, width, height = fields[0], fields[4], fields[5]
    bits, line, colours = fields[11], fields[12], fields[19]
    if bits != 32 or width == 0 or height == 0:
        return False
    data = xwd[header + 12 * colours:]
    for y in range(height // 2, height, 7):
        row = data[y * line:y * line + width * 4]
        if any(v & 0xFFFFFF for v in struct.unpack("<%dI" % (len(row) // 4), row)):
            return True
    return False


def xvfb_gone(env):
    """True when the display no longer reaches our X server (ended, or its
    socket taken away by something else on the machine)."""
    size = subprocess.run(["xdotool", "getdisplaygeometry"], env=env, capture_output=True, text=True)
    return size.returncode != 0 or size.stdout.split() != SCREEN.split("x")


def child_of(pid):
    """The one child of /usr/bin/time: the program itself."""
    for _ in range(100):
        try:
            with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
                children = f.read().split()
            if children:
                return int(children[0])
        except OSError:
            pass
        time.sleep(0.01)
    return None


def measure(command, title, cwd, env, seconds, scratch):
    """(ms to the first painted frame, peak RSS in KB) of one run; None when
    the X server went away under it."""
    rss_file = os.path.join(scratch, "rss")
    log = open(os.path.join(scratch, "log"), "w")
    start = time.monotonic()
    timed = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", rss_file] + command, cwd=cwd, env=env,
                             stdout=log, stderr=log)
    first = None
    window = None
    while time.monotonic() - start < 20:
        if window is None:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], env=env,
                                   capture_output=True, text=True).stdout.split()
            window = found[0] if found else None
            continue
        shot = subprocess.run(["xwd", "-silent", "-id", window], env=env, capture_output=True)
        if shot.returncode != 0:
            window = None  # a window that went away: look again
        elif len(shot.stdout) > 100 and painted(shot.stdout):
            first = (time.monotonic() - start) * 1000
            break
    program = child_of(timed.pid)
    remaining = start + seconds - time.monotonic()
    if remaining > 0:
        time.sleep(remaining)
    if program:
        os.kill(program, signal.SIGTERM)
    timed.wait()
    with open(rss_file) as f:
        rss = int(f.read().split()[-1])
    log.close()
    with open(os.path.join(scratch, "log")) as f:
        refused = "could not connect to display" in f.read()
    if first is None and (refused or xvfb_gone(env)):
        print("(%s could not reach the X server; measuring again)" % title)
        return None
    if first is None:
        windows = subprocess.run(["xdotool", "search", "--name", "."], env=env, capture_output=True,
                                 text=True).stdout.split()
        names = [subprocess.run(["xdotool", "getwindowname", w], env=env, capture_output=True,
                                text=True).stdout.strip() for w in windows]
        with open(os.path.join(scratch, "log")) as f:
            sys.exit("%s: no frame seen (window %s; windows %s)\n%s" % (title, window, names, f.read()))
    return first, rss


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--seconds", type=float, default=3.0)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    game = os.path.join(build, "game", "pachinko")
    minimal = os.path.join(build, "bench", "minimal_qt")
    for path in (game, minimal):
        if not os.path.exists(path):
            sys.exit("not built: " + path)

    scratch = tempfile.mkdtemp(prefix="pachinko-startup-")
    xvfb, display = start_xvfb()
    try:
        folder = os.path.join(scratch, "game")
        os.mkdir(folder)
        for pattern in ("*.bmp", "*.wav", "tama.dat"):
            for f in glob.glob(os.path.join(build, "game", pattern)):
                shutil.copy(f, folder)
        # day, cash, deposit, three loans, loan count, credit line, balls, introduction off
        record = struct.pack("<16i", 0, 10000, 0, *([0] * 9), 0, 50000, 0, 1)
        env = dict(os.environ, DISPLAY=display, ALSOFT_DRIVERS="null",
                   XDG_RUNTIME_DIR=scratch, XDG_CONFIG_HOME=os.path.join(scratch, "config"))
        results = {"game": [], "minimal": []}
        print("run   game: first frame, peak RSS   minimal: first frame, peak RSS")
        for run in range(1, args.runs + 1):
            order = ["game", "minimal"] if run % 2 else ["minimal", "game"]
            row = {}
            for which in order:
                while which not in row:
                    if xvfb_gone(env):
                        # Something took our X server away: the run is not counted.
                        print("(the X server went away; starting another and measuring again)")
                        xvfb.terminate()
                        xvfb.wait()
                        xvfb, display = start_xvfb()
                        env["DISPLAY"] = display
                    if which == "game":
                        with open(os.path.join(folder, "pachiko.dat"), "wb") as f:
                            f.write(record)
                        result = measure([game], "PACHINKO", folder, env, args.seconds, scratch)
                    else:
                        result = measure([minimal], "minimal_qt", scratch, env, args.seconds, scratch)
                    if result:
                        row[which] = result
                results[which].append(row[which])
            print("%3d   %6.0f ms %8d KB         %6.0f ms %8d KB" %
                  (run, row["game"][0], row["game"][1], row["minimal"][0], row["minimal"][1]))
        print()
        for index, what in ((0, "first frame"), (1, "peak RSS")):
            ratios = [g[index] / m[index] for g, m in zip(results["game"], results["minimal"])]
            print("%-12s game %8.0f, minimal %8.0f (medians); ratio per run median %.2f, min %.2f, max %.2f" %
                  (what, statistics.median(r[index] for r in results["game"]),
                   statistics.median(r[index] for r in results["minimal"]),
                   statistics.median(ratios), min(ratios), max(ratios)))
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
