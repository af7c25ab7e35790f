#!/usr/bin/env python3
"""Cut Debian's IPA Gothic down to the characters the game can show.

Output: <out-dir>/pachinko-gothic.woff2 (the page's one font, used by the
canvas text and the HTML dialogs alike).

    tools/web/subset_font.py OUT_DIR [--font PATH] [--list]

The characters are collected from every string and character literal of the
game's sources (the folders below, relative to the repository) and of the help
pages' generator, plus printable ASCII, the full-width digits and Latin letters (amounts and names typed into the
bank's edit box are shown back), and the few marks the page itself writes.
--list prints the collected characters instead of writing the font.
"""
import argparse
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SOURCE_DIRS = ["state", "shell", "town", "machine", "media", "save", "resources", "platform"]
SOURCE_SUFFIXES = (".cpp", ".h", ".html", ".js", ".css")
# The help pages the page shows are written by the content generator.
EXTRA_SOURCES = ["tools/assets/icon_help.cpp"]
DEFAULT_FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"
OUTPUT_NAME = "pachinko-gothic.woff2"

# A raw string literal (its text between the delimiters), or a string or
# character literal, escapes kept (a \" does not end it).
LITERAL = re.compile(r'R"([^()\\ ]{0,16})\((.*?)\)\1"|("(?:[^"\\\n]|\\.)*"|\'(?:[^\'\\\n]|\\.)*\')', re.S)
# Text outside literals in web pages (HTML, scripts) is shown too.
MARKUP_TEXT = re.compile(r">([^<]+)<")

EXTRA = (
    "".join(chr(c) for c in range(0x20, 0x7F))           # printable ASCII
    + "".join(chr(c) for c in range(0xFF10, 0xFF1A))     # full-width digits
    + "".join(chr(c) for c in range(0xFF21, 0xFF3B))     # full-width A-Z
    + "".join(chr(c) for c in range(0xFF41, 0xFF5B))     # full-width a-z
    + "、。「」・ー…－，．：！？（）￥　×"                  # punctuation, yen, space
    + "▲▼◀▶←↑→↓"                                        # arrow buttons
)


def sources(root):
    for folder in SOURCE_DIRS:
        for base, _, names in os.walk(os.path.join(root, folder)):
            for name in names:
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.join(base, name)
    for name in EXTRA_SOURCES:
        yield os.path.join(root, name)


def collect(root=ROOT):
    chars = set(EXTRA)
    for path in sources(root):
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for _, raw, quoted in LITERAL.findall(text):
            chars.update(raw or quoted[1:-1])
        if path.endswith(".html"):
            for run in MARKUP_TEXT.findall(text):
                chars.update(run)
    # Layout characters and the replacement mark of undecodable bytes are never drawn.
    return sorted(c for c in chars if c.isprintable() and c != "\ufffd")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out_dir", nargs="?")
    parser.add_argument("--font", default=DEFAULT_FONT)
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args(argv)
    chars = collect()
    if args.list:
        print("".join(chars))
        return 0
    if not args.out_dir:
        parser.error("OUT_DIR is required")
    os.makedirs(args.out_dir, exist_ok=True)
    out = os.path.join(args.out_dir, OUTPUT_NAME)
    unicodes = ",".join("U+%04X" % ord(c) for c in chars)
    subprocess.run(
        ["pyftsubset", args.font, "--unicodes=" + unicodes, "--flavor=woff2",
         "--layout-features=*", "--no-hinting", "--desubroutinize",
         "--name-IDs=*", "--notdef-outline", "--output-file=" + out],
        check=True)
    print("%s: %d characters, %d bytes" % (out, len(chars), os.path.getsize(out)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
