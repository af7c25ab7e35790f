#!/usr/bin/env python3
"""Compares two screenshots (8-bit RGB or RGBA PNG files) pixel by pixel:
compare_shots.py A.png B.png exits 0 when every pixel is the same, else 1
after printing how many differ and where. The files' encodings may differ.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir))
from png_rows import read_png  # noqa: E402


def main(argv):
    a, b = read_png(argv[1]), read_png(argv[2])
    if a[:2] != b[:2]:
        print('%s: sizes differ: %dx%d and %dx%d' % (argv[2], a[0], a[1], b[0], b[1]))
        return 1
    pixel = lambda shot, x, y: shot[2][y][3 * x:3 * x + 3]
    differing = [(x, y) for y in range(a[1]) for x in range(a[0]) if pixel(a, x, y) != pixel(b, x, y)]
    if differing:
        xs, ys = [p[0] for p in differing], [p[1] for p in differing]
        print('%s: %d pixels differ, within x %d..%d, y %d..%d' % (argv[2], len(differing), min(xs), max(xs),
                                                                  min(ys), max(ys)))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
