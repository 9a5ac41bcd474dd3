#!/usr/bin/env python3
"""Builds flags16.png, the strip of the 261 flag pictures, from flags.tsv.

Each flag comes from Debian's famfamfam-flag-png (16x11 PNGs named by ISO
country code) and is centred in its own 16x16 cell on a transparent
background; cell n starts at x = 16 * n. The strip is committed, so building
the program needs neither this script nor the Debian packages:

    apt-get install famfamfam-flag-png imagemagick
    python3 resources/flags/make_flags.py [flag-folder]
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SOURCE = "/usr/share/flags/countries/16x11"
CELL = 16
COUNT = 261


def read_table(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        header = f.readline().rstrip("\n").split("\t")
        if header[:3] != ["number", "name", "file"]:
            sys.exit(f"{path}: unexpected header {header}")
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            number, name, file = line.split("\t")[:3]
            rows.append((int(number), name, file))
    numbers = [r[0] for r in rows]
    if numbers != list(range(COUNT)):
        sys.exit(f"{path}: rows must be numbered 0..{COUNT - 1} in order")
    return rows


def picture_size(path):
    out = subprocess.run(["identify", "-format", "%w %h", path],
                         check=True, capture_output=True, text=True).stdout
    w, h = out.split()
    return int(w), int(h)


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_SOURCE
    rows = read_table(os.path.join(HERE, "flags.tsv"))
    sizes = {}
    cmd = ["convert", "-size", f"{CELL * COUNT}x{CELL}", "xc:none"]
    for number, name, file in rows:
        path = os.path.join(source, file)
        if not os.path.isfile(path):
            sys.exit(f"flag {number} ({name}): {path} not found")
        if file not in sizes:
            sizes[file] = picture_size(path)
        w, h = sizes[file]
        if w > CELL or h > CELL:
            sys.exit(f"{path}: {w}x{h} does not fit a {CELL}x{CELL} cell")
        x = number * CELL + (CELL - w) // 2
        y = (CELL - h) // 2
        cmd += ["(", path, "-alpha", "set", ")",
                "-geometry", f"+{x}+{y}", "-composite"]
    out = os.path.join(HERE, "flags16.png")
    # No time stamps or other ancillary chunks, so a rebuild gives the same bytes.
    cmd += ["-strip", "-define", "png:exclude-chunks=date,time",
            f"PNG32:{out}"]
    subprocess.run(cmd, check=True)
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
