#!/usr/bin/python3
"""The busiest parlour tick in the browser against the native one.

Rounds alternate: the native benchmark (BM_ParlourTickBusiest, real time of
each of 30 short repetitions), then the browser's page (bench/web/, 30 samples
of 40 ticks each, the browser's clock) loaded afresh in one headless Chromium,
so load from other programs falls on both alike. Prints each round and all
rounds together: medians and minima, and their ratios (browser ÷ native).

usage: bench/web_tick_ratio.py BUILD/bench/pachinko_bench BUILD-WEB/bench-web [--rounds N]
"""
import argparse
import functools
import http.server
import json
import statistics
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

FLAGS = ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync")


def native_microseconds(bench):
    """Real time of each repetition of the native benchmark."""
    # Samples as short as the page's (about 40 ticks), as many.
    out = subprocess.run([bench, "--benchmark_filter=^BM_ParlourTickBusiest$", "--benchmark_repetitions=30",
                          "--benchmark_min_time=0.003", "--benchmark_format=json"],
                         capture_output=True, text=True, check=True).stdout
    times = []
    for b in json.loads(out)["benchmarks"]:
        if b.get("error_occurred"):
            sys.exit("native: " + b.get("error_message", "error"))
        if b.get("run_type") == "iteration":
            times.append(b["real_time"] / 1000.0)  # ns
    return times


def web_microseconds(driver, url):
    """The page's samples, each the mean of a batch of ticks."""
    driver.get(url)
    deadline = time.monotonic() + 120
    while time.monotonic() < deadline:
        result = driver.execute_script("return window.pachinkoBench || null")
        if result:
            if result["error"]:
                sys.exit("web: " + result["error"])
            return result["microseconds"]
        time.sleep(0.2)
    sys.exit("web: the page gave no result")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("native")
    parser.add_argument("web_dir")
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()

    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=args.web_dir)
    handler.func.extensions_map[".wasm"] = "application/wasm"
    handler.func.log_message = lambda *a: None
    httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=httpd.serve_forever, daemon=True).start()
    url = "http://127.0.0.1:%d/bench.html" % httpd.server_address[1]

    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    profile = tempfile.TemporaryDirectory()
    for flag in FLAGS + ("--user-data-dir=" + profile.name,):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    natives, webs = [], []
    try:
        # The median shows the typical tick; the minimum the tick least
        # disturbed by other programs, the steadier figure on a busy machine.
        print("round  native µs (median, min)  browser µs (median, min)  ratio (medians, minima)")
        for r in range(args.rounds):
            n, w = native_microseconds(args.native), web_microseconds(driver, url)
            natives += n
            webs += w
            print("%5d  %9.1f %9.1f  %11.1f %9.1f  %8.2f %8.2f" % (
                r + 1, statistics.median(n), min(n), statistics.median(w), min(w),
                statistics.median(w) / statistics.median(n), min(w) / min(n)), flush=True)
    finally:
        driver.quit()
        httpd.shutdown()
    n_med, w_med = statistics.median(natives), statistics.median(webs)
    print("all    %9.1f %9.1f  %11.1f %9.1f  %8.2f %8.2f" % (
        n_med, min(natives), w_med, min(webs), w_med / n_med, min(webs) / min(natives)))
    print("chromium: " + subprocess.run(["/usr/bin/chromium", "--version"], capture_output=True, text=True).stdout.strip())
    return 0


if __name__ == "__main__":
    sys.exit(main())
