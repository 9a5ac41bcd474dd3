#!/usr/bin/env python3
"""Checks the transparency of the pictures the windows lay over the desktop:
pictures_test.py RESOURCES_FOLDER.

- banner.png, the about window's button: its rounded corners are fully
  transparent (drawn opaque, they show as black corners);
- splash.png, the layered splash window: its outer rows and columns are fully
  transparent (a faint pixel there draws a stray line beside the card).

Both are checked as drawn for 100 %, 150 % and 200 % display scale, each of
its size times the scale.
"""
import struct
import sys
import zlib


def read_rgba(path):
    """Width, height and rows of (r, g, b, a) of an 8-bit RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path + ": not a PNG"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    assert (depth, colour, interlace) == (8, 6, 0), f"{path}: not 8-bit RGBA without interlace"
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - 4] if x >= 4 else 0
            up = previous[x]
            corner = previous[x - 4] if x >= 4 else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[x] = (line[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(line[i:i + 4]) for i in range(0, stride, 4)])
        previous = line
    return width, height, rows


def check_pictures(folder, suffix, scale, failures):
    banner_name, splash_name = f"banner{suffix}.png", f"splash{suffix}.png"
    width, height, rows = read_rgba(folder + "/splash/" + banner_name)
    # Drawn for the scale: exactly the 100 % size times the scale, or the
    # program would stretch it after all.
    if (width, height) != (round(129 * scale), round(32 * scale)):
        failures.append(f"{banner_name}: {width}x{height}, not 129x32 at {scale:.0%}")
    for x, y in ((0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1)):
        if rows[y][x][3] != 0:
            failures.append(f"{banner_name}: corner {x},{y} has alpha {rows[y][x][3]}")
    if rows[height // 2][width // 2][3] != 255:
        failures.append(f"{banner_name}: its middle is not opaque")
    width, height, rows = read_rgba(folder + "/splash/" + splash_name)
    if (width, height) != (round(476 * scale), round(294 * scale)):
        failures.append(f"{splash_name}: {width}x{height}, not 476x294 at {scale:.0%}")
    for y in (0, 1, height - 2, height - 1):
        alpha = max(p[3] for p in rows[y])
        if alpha:
            failures.append(f"{splash_name}: row {y} has alpha up to {alpha}")
    for x in (0, 1, width - 2, width - 1):
        alpha = max(rows[y][x][3] for y in range(height))
        if alpha:
            failures.append(f"{splash_name}: column {x} has alpha up to {alpha}")
    if rows[height // 2][width // 2][3] != 255:
        failures.append(f"{splash_name}: the card's middle is not opaque")


def main():
    folder = sys.argv[1]
    failures = []
    for suffix, scale in (("", 1), ("_150", 1.5), ("_200", 2)):
        check_pictures(folder, suffix, scale, failures)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
