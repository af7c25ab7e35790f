#!/usr/bin/env python3
"""The test-to-code ratio: non-blank, non-comment lines of C++ (.cpp and .h)
under tests/ against those of the game, its platforms, tools and programs.

    tests/count_lines.py [--by-folder] [ROOT]

Only C++ counts, on both sides: the shell, Python and JavaScript around the
tests (install_test.sh, this script, the web page's glue) and the CMake files
do not. Every platform's code and tests count, wherever they sit under the
folders below (platform/win32, platform/web, tests/windows, tests/web ...).
bench/ counts on neither side. A line counts when anything but a comment is
left on it once // and /* */ comments are removed.
"""
import os
import sys

CODE = ["shell", "town", "machine", "media", "save", "platform", "app", "tools", "resources", "state"]
TESTS = ["tests"]
SKIP_DIRS = {".git", "corpus"}


def code_lines(text):
    """Lines with code left after removing comments (string and character
    literals are respected, so "//" inside a string is code)."""
    count, in_block, has_code = 0, False, False
    i, n = 0, len(text)
    quote = None
    while i < n:
        c = text[i]
        if c == "\n":
            count += has_code
            has_code = False
            i += 1
            continue
        if in_block:
            if text.startswith("*/", i):
                in_block = False
                i += 2
            else:
                i += 1
            continue
        if quote:
            has_code = True
            if c == "\\":
                i += 2
                continue
            if c == quote:
                quote = None
            i += 1
            continue
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
            continue
        if text.startswith("/*", i):
            in_block = True
            i += 2
            continue
        if c in "\"'":
            # A digit separator (1'000) is no character literal.
            if c == "'" and i > 0 and text[i - 1].isalnum():
                has_code = True
                i += 1
                continue
            quote = c
        if not c.isspace():
            has_code = True
        i += 1
    return count + has_code


def count(root, folders, by_folder):
    total = 0
    for folder in folders:
        sub = 0
        for dirpath, dirnames, filenames in os.walk(os.path.join(root, folder)):
            dirnames[:] = sorted(d for d in dirnames if d not in SKIP_DIRS and not d.startswith("build"))
            for name in filenames:
                if name.endswith((".cpp", ".h")):
                    with open(os.path.join(dirpath, name), encoding="utf-8", errors="replace") as f:
                        sub += code_lines(f.read())
        if by_folder:
            print(f"  {folder:10} {sub:6}")
        total += sub
    return total


def main():
    args = [a for a in sys.argv[1:] if a != "--by-folder"]
    root = args[0] if args else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    by_folder = "--by-folder" in sys.argv
    tests = count(root, TESTS, by_folder)
    code = count(root, CODE, by_folder)
    print(f"tests {tests}, code {code}: {100 * tests / code:.0f} %")


if __name__ == "__main__":
    main()
