#!/usr/bin/python3
"""The browser build played in headless Chromium, against the desktop runner.

    tests/web/test_web.py DIST-DIR GAME-DIR PACHINKO-HEADLESS OUT-DIR [--screenshots DIR]

DIST-DIR is the page (dist/web), served on 127.0.0.1 from here; GAME-DIR the
desktop game folder whose content pachinko-headless plays. Each journey is a
script in pachinko-headless's language (tests/web/*.txt): the desktop runner
plays it as is, this file plays it in the page with real browser input, one
tick at a time through the page's test mode (?test: no timer, ticks on
demand). Both sides then must show the same pictures (text areas aside: the
page draws text with its own font) and save the same pachiko.dat.

The main journey also reloads the page (the game continues from its save,
a day later) and exports the save through the page's menu; the touch journey
plays with emulated touch events only (taps, the arrow pad, a finger on the
dial).
"""
import argparse
import base64
import http.server
import os
import shutil
import struct
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
from png_rows import read_png  # noqa: E402
import zlib

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.common.exceptions import WebDriverException

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 640, 416
STEP_SECONDS = 60  # generous: CI runs on a loaded two-core machine
# Captions of the dialogs the journeys use, by template id.
DIALOG_CAPTIONS = {24: "銀行", 25: "パチンコゲーム ろもぺ"}
# Where the game writes text, which the page draws with its own font: the
# town's status lines, the machine's two counters (left, top, right, bottom).
TEXT_AREAS = [(0, 0, 220, 55), (525, 66, 640, 94), (525, 116, 640, 144)]
ARROWS = {0x25: "left", 0x26: "up", 0x27: "right", 0x28: "down"}
KEYS = {0x25: ("ArrowLeft", 37), 0x26: ("ArrowUp", 38), 0x27: ("ArrowRight", 39), 0x28: ("ArrowDown", 40),
        0x1B: ("Escape", 27)}


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def note(what):
    print("test_web: " + what, flush=True)


def wait_for(what, done, seconds=STEP_SECONDS):
    deadline = time.monotonic() + seconds
    while True:
        value = done()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.05)


# --- pictures ------------------------------------------------------------------


def differing_pixels(web_rgba, desktop_rows):
    """Pixels where the page's canvas and the desktop's picture differ, text areas aside."""
    diff = 0
    for y in range(HEIGHT):
        row = desktop_rows[y]
        for x in range(WIDTH):
            if any(l <= x < r and t <= y < b for l, t, r, b in TEXT_AREAS):
                continue
            at = 4 * (y * WIDTH + x)
            if web_rgba[at:at + 3] != row[3 * x:3 * x + 3]:
                diff += 1
    return diff


# --- the page's server -----------------------------------------------------------

class Server:
    """The page folder on 127.0.0.1 at a free port; counts what each visit loads."""

    def __init__(self, folder):
        self.loaded = {}
        server = self

        class Handler(http.server.SimpleHTTPRequestHandler):
            extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                                  **{".wasm": "application/wasm", ".js": "text/javascript",
                                     ".woff2": "font/woff2", ".data": "application/octet-stream"})

            def __init__(self, *args, **kwargs):
                super().__init__(*args, directory=folder, **kwargs)

            def end_headers(self):
                self.send_header("Cache-Control", "no-store")
                super().end_headers()

            def copyfile(self, source, target):
                name = self.path.split("?")[0]
                start = source.tell()
                super().copyfile(source, target)
                server.loaded[name] = source.tell() - start

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


# --- the browser -----------------------------------------------------------------

def chromium(profile, downloads):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + profile, "--window-size=1400,1000", "--autoplay-policy=no-user-gesture-required"):
        options.add_argument(flag)
    options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                              "download.prompt_for_download": False})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_script_timeout(STEP_SECONDS)
    driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    return driver


class Page:
    """The game page in one browser, played by script lines."""

    def __init__(self, driver, url, touch=False):
        self.d, self.url, self.touch = driver, url, touch
        self.answers = []
        self.shots = {}

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def open(self):
        self.d.get(self.url + "index.html?test")
        # Start-up's boxes may be open now; the script's answers come first.
        wait_for("the game to start", lambda: self.js(
            "return !!(window.pachinko && window.pachinko.main && window.pachinkoIdle())"))

    def idle(self):
        return self.js("return window.pachinkoIdle()")

    def open_boxes(self):
        return self.js("return [...document.querySelectorAll('.modal-layer .box .box-text')].map(e => e.textContent)")

    # Waits until the game waits for input, answering open boxes from the
    # queue. As in pachinko-headless, a queued answer answers a box as soon
    # as it is open, before any tick runs under it.
    def settle(self, unanswered_ok=False):
        while True:
            wait_for("the game to wait for input", self.idle)
            boxes = self.open_boxes()
            if not boxes or (unanswered_ok and not self.answers):
                return
            check(self.answers, "a box nobody answers: " + boxes[-1])
            label = {"ok": "OK", "yes": "はい(Y)", "no": "いいえ(N)"}[self.answers.pop(0)]
            buttons = self.d.find_elements("css selector", ".modal-layer .box .push")
            button = [b for b in buttons if b.text == label]
            check(button, "no %s button on the box %s" % (label, boxes[-1]))
            self.press(button[-1])
            wait_for("the box to close", lambda: len(self.open_boxes()) < len(boxes))

    # A click on a page element, or a tap in the touch journey.
    def press(self, element):
        if not self.touch:
            element.click()
            return
        r = self.js("const r = arguments[0].getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]",
                    element)
        self.touch_at("touchStart", r[0], r[1])
        self.touch_at("touchEnd", r[0], r[1])

    def touch_at(self, kind, x, y):
        points = [] if kind == "touchEnd" else [{"x": x, "y": y, "id": 1}]
        self.d.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})

    def canvas_point(self, x, y):
        r = self.js("const r = document.querySelector('canvas.game').getBoundingClientRect();"
                    "return [r.left, r.top, r.width / 640];")
        return r[0] + (x + 0.5) * r[2], r[1] + (y + 0.5) * r[2]

    def mouse(self, what, x, y):
        cx, cy = self.canvas_point(x, y)
        if self.touch:
            if what == "move" and not self.held:
                return  # a finger's touch moves the pointer there itself
            self.held = what != "release"
            self.touch_at({"move": "touchMove", "press": "touchStart", "release": "touchEnd"}[what], cx, cy)
            return
        kind = {"move": "mouseMoved", "press": "mousePressed", "release": "mouseReleased"}[what]
        event = {"type": kind, "x": cx, "y": cy, "button": "left" if what != "move" else "none",
                 "buttons": 1 if what == "press" or (what == "move" and self.held) else 0, "clickCount": 1}
        self.d.execute_cdp_cmd("Input.dispatchMouseEvent", event)
        self.held = what == "press" or (self.held and what == "move")

    held = False

    def key(self, kind, code):
        if self.touch and code in ARROWS:
            # The on-screen arrow pad, held with a finger.
            r = self.js("const r = document.querySelector('.arrow.%s').getBoundingClientRect();"
                        "return [r.left + r.width / 2, r.top + r.height / 2]" % ARROWS[code])
            self.touch_at("touchStart" if kind == "down" else "touchEnd", r[0], r[1])
            return
        name, vk = KEYS[code]
        for k in (["keyDown", "keyUp"] if kind == "both" else ["keyDown" if kind == "down" else "keyUp"]):
            self.d.execute_cdp_cmd("Input.dispatchKeyEvent", {"type": "rawKeyDown" if k == "keyDown" else k,
                                                              "key": name, "code": name,
                                                              "windowsVirtualKeyCode": vk})

    def control(self, template, control):
        element = self.js("""
            for (const d of window.pachinko.dialogs.values())
              if (d.win.querySelector('.caption').textContent === arguments[0]) return d.controls.get(arguments[1]) || null;
            return null;""", DIALOG_CAPTIONS[template], control)
        check(element is not None, "no control %d of dialog %d" % (control, template))
        return element

    def menu(self, command):
        item = self.js("return window.pachinko.menuItems.get(arguments[0]) || null", command)
        check(item is not None, "no menu item %d" % command)
        self.press(self.js("return arguments[0].closest('.menu').querySelector('.menu-title')", item))
        self.settle()  # the game greys the items
        if "grayed" in item.get_attribute("class"):
            self.js("arguments[0].closest('.menu').classList.remove('open')", item)
            note("menu %d is greyed" % command)
            return
        self.press(item)

    def pixels(self):
        text = self.js("""
            const c = document.querySelector('canvas.game');
            const data = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            let s = '';
            for (let i = 0; i < data.length; i += 0x8000) s += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
            return [c.width, c.height, btoa(s)];""")
        check(text[0] == WIDTH and text[1] == HEIGHT, "the canvas holds %dx%d pixels" % (text[0], text[1]))
        return base64.b64decode(text[2])

    def play(self, script):
        for number, line in enumerate(open(script, encoding="utf-8"), 1):
            w = line.split("#")[0].split()
            if not w:
                continue
            if w[0] == "answer":
                self.answers.append(w[1])
                self.settle(unanswered_ok=True)
                continue
            if w[0] == "tick":
                self.js("window.pachinkoTick(arguments[0])", int(w[1]))
            elif w[0] == "key":
                self.key(w[1] if len(w) == 3 else "both", int(w[-1], 0))
            elif w[0] == "mouse":
                self.mouse(w[1], int(w[2]), int(w[3]))
            elif w[0] == "dialog" and w[1] == "type":
                self.control(int(w[2]), int(w[3])).send_keys(w[4])
            elif w[0] == "dialog" and w[1] == "click":
                self.press(self.control(int(w[2]), int(w[3])))
            elif w[0] == "menu":
                self.menu(int(w[1]))
            elif w[0] == "screenshot":
                self.shots[w[1]] = self.pixels()
            else:
                raise Failure("%s:%d: the page cannot play %r" % (script, number, line.strip()))
            self.settle()

    def export(self, downloads):
        target = os.path.join(downloads, "pachiko.dat")
        if os.path.exists(target):
            os.remove(target)
        title = self.d.find_element("xpath", "//div[@class='menu-title' and starts-with(text(), 'ブラウザ')]")
        self.press(title)
        item = self.d.find_element("xpath", "//div[contains(@class,'menu-item') and starts-with(text(), 'ゲームを書き出す')]")
        self.press(item)
        self.settle()
        wait_for("the exported pachiko.dat", lambda: os.path.exists(target) and os.path.getsize(target) == 64)
        return open(target, "rb").read()


# --- the desktop side --------------------------------------------------------------

def run_desktop(headless, game_dir, folder, script):
    """Plays a script in pachinko-headless in `folder` (content copied there once)."""
    if not os.path.exists(os.path.join(folder, "tama.dat")):
        os.makedirs(folder, exist_ok=True)
        for name in os.listdir(game_dir):
            if name.endswith((".bmp", ".wav", ".hlp")) or name == "tama.dat":
                shutil.copy(os.path.join(game_dir, name), folder)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    result = subprocess.run([headless, "--dir", folder, "--out", folder, "--script", script],
                            env=env, capture_output=True, timeout=STEP_SECONDS)
    log = open(os.path.join(folder, "log.txt"), encoding="utf-8").read()
    check(result.returncode == 0 and "unanswered" not in log and "script: line" not in log,
          "pachinko-headless on %s: %s" % (script, log[-2000:]))
    return open(os.path.join(folder, "pachiko.dat"), "rb").read()


def compare_shots(page, folder):
    for name, pixels in page.shots.items():
        width, height, rows = read_png(os.path.join(folder, name))
        check((width, height) == (WIDTH, HEIGHT), name + " is not 640x416")
        diff = differing_pixels(pixels, rows)
        check(diff == 0, "%s: %d pixels differ from the desktop's picture" % (name, diff))
        note("%s: the canvas shows the desktop's picture" % name)


def write_png(path, rgba):
    raw = b"".join(b"\0" + rgba[y * WIDTH * 4:(y + 1) * WIDTH * 4] for y in range(HEIGHT))

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def day_of(save):
    return struct.unpack("<i", save[:4])[0]


# --- the journeys ---------------------------------------------------------------------

def main_journey(args, server, out):
    desktop = os.path.join(out, "desktop")
    saved = run_desktop(args.headless, args.game_dir, desktop, os.path.join(HERE, "journey.txt"))
    profile, downloads = os.path.join(out, "profile"), os.path.join(out, "downloads")
    os.makedirs(downloads, exist_ok=True)
    driver = chromium(profile, downloads)
    try:
        page = Page(driver, server.url)
        page.open()
        note("the first visit loaded %d bytes: %s" % (sum(server.loaded.values()), ", ".join(
            "%s %d" % (name.lstrip("/"), size) for name, size in sorted(server.loaded.items()))))
        page.play(os.path.join(HERE, "journey.txt"))
        compare_shots(page, desktop)
        if args.screenshots:
            os.makedirs(args.screenshots, exist_ok=True)
            write_png(os.path.join(args.screenshots, "web.png"), page.shots["street.png"])

        # A reload: the page reads the save from the browser's storage, as
        # the desktop program reads its file when started again.
        page.shots = {}
        page.answers = []
        page.open()
        page.play(os.path.join(HERE, "reload.txt"))
        again = run_desktop(args.headless, args.game_dir, desktop, os.path.join(HERE, "reload.txt"))
        compare_shots(page, desktop)
        exported = page.export(downloads)
        check(day_of(exported) == day_of(saved) + 1, "after the reload the day is %d" % day_of(exported))
        check(exported == again, "after the reload the page saves %s, the desktop %s" % (exported.hex(), again.hex()))
        note("the reload continued the saved game on day %d; the exported pachiko.dat is the desktop's, byte for byte"
             % day_of(exported))
    except (Failure, WebDriverException):
        driver.save_screenshot(os.path.join(out, "failure-main.png"))
        raise
    finally:
        driver.quit()


def touch_journey(args, server, out):
    desktop = os.path.join(out, "desktop-touch")
    run_desktop(args.headless, args.game_dir, desktop, os.path.join(HERE, "touch.txt"))
    driver = chromium(os.path.join(out, "profile-touch"), os.path.join(out, "downloads"))
    try:
        driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        page = Page(driver, server.url, touch=True)
        page.open()
        check(page.js("return getComputedStyle(document.querySelector('.arrow-pad')).display") != "none",
              "no arrow pad on a touch screen")
        page.play(os.path.join(HERE, "touch.txt"))
        compare_shots(page, desktop)

        # The page put out of sight (another tab, another app on a phone),
        # where it may be closed with no warning: the game saves, and the save
        # reaches the browser's storage; it is the one the desktop program
        # writes when its session ends there.
        kept = page.js("return window.pachinko.keptSaves")
        page.js("Object.defineProperty(document, 'hidden', {value: true, configurable: true});"
                "document.dispatchEvent(new Event('visibilitychange'))")
        page.settle()
        wait_for("the save to reach the browser's storage", lambda: page.js("return window.pachinko.keptSaves") > kept)
        saved = bytes(page.js("return Array.from(FS.readFile('/save/pachiko.dat'))"))
        check(saved == open(os.path.join(desktop, "pachiko.dat"), "rb").read(),
              "the save made out of sight is not the desktop's: %s" % saved.hex())
        note("out of sight, the page saved the desktop's pachiko.dat, byte for byte, into the browser's storage")
    except (Failure, WebDriverException):
        driver.save_screenshot(os.path.join(out, "failure-touch.png"))
        raise
    finally:
        driver.quit()


def font_check(args, server, out):
    """The page's font has a glyph for every character the game showed in
    the journeys (dialogs, boxes: the desktop runner's logs) and the help."""
    from fontTools.ttLib import TTFont
    covered = set(chr(c) for c in TTFont(os.path.join(args.dist, "pachinko-gothic.woff2")).getBestCmap())
    shown = set()
    for folder in ("desktop", "desktop-touch"):
        log = os.path.join(out, folder, "log.txt")
        if os.path.exists(log):
            shown.update(c for line in open(log, encoding="utf-8") if '"' in line for c in line.split('"', 1)[1])
    for name in ("pachi.hlp", "error.hlp"):
        shown.update(open(os.path.join(args.game_dir, name), encoding="utf-8").read())
    missing = sorted(c for c in shown if c.isprintable() and c not in covered)
    check(not missing, "the page's font lacks " + "".join(missing))
    note("the page's font covers the %d characters shown" % len(shown))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dist")
    parser.add_argument("game_dir")
    parser.add_argument("headless")
    parser.add_argument("out")
    parser.add_argument("--screenshots")
    parser.add_argument("--only", choices=["main", "touch", "font"])
    args = parser.parse_args()
    out = os.path.abspath(args.out)
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    server = Server(os.path.abspath(args.dist))
    passed = failed = 0
    try:
        for name, journey in (("main", main_journey), ("touch", touch_journey), ("font", font_check)):
            if args.only and args.only != name:
                continue
            try:
                journey(args, server, out)
                note("%s: passed" % name)
                passed += 1
            except (Failure, WebDriverException) as e:
                note("%s: FAILED: %s" % (name, str(e).splitlines()[0] if str(e) else type(e).__name__))
                failed += 1
    finally:
        server.close()
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
