#!/usr/bin/env python3
"""Compares two screenshots (8-bit RGB or RGBA PNG files) pixel by pixel:
compare_shots.py A.png B.png exits 0 when every pixel is the same, else 1
after printing how many differ and where. The files' encodings may differ.
"""
import struct
import sys
import zlib


def read_png(path):
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError(path + ': not a PNG file')
    pos, idat, width, height, channels = 8, b'', 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            channels = {2: 3, 6: 4}.get(colour)
            if depth != 8 or channels is None or interlace:
                raise ValueError(path + ': only 8-bit RGB(A) PNG files without interlacing')
        elif kind == b'IDAT':
            idat += body
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append([bytes(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def main(argv):
    a, b = read_png(argv[1]), read_png(argv[2])
    if a[:2] != b[:2]:
        print('%s: sizes differ: %dx%d and %dx%d' % (argv[2], a[0], a[1], b[0], b[1]))
        return 1
    differing = [(x, y) for y in range(a[1]) for x in range(a[0]) if a[2][y][x] != b[2][y][x]]
    if differing:
        xs, ys = [p[0] for p in differing], [p[1] for p in differing]
        print('%s: %d pixels differ, within x %d..%d, y %d..%d' % (argv[2], len(differing), min(xs), max(xs),
                                                                  min(ys), max(ys)))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
