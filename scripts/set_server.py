#!/usr/bin/env python3
"""Sets [Velmar] Server=ADDRESS in a settings file (VelmarPro.dat), keeping
every other line; creates the file or the section when missing.

    python3 scripts/set_server.py SETTINGS_FILE ADDRESS
"""

import os
import sys


def main():
    path, address = sys.argv[1], sys.argv[2]
    lines = []
    if os.path.exists(path):
        with open(path, "rb") as f:
            lines = f.read().decode("cp1251").splitlines()
    section, done, out = "", False, []
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("["):
            if section == "velmar" and not done:
                out.append("Server=" + address)
                done = True
            section = stripped[1:].split("]")[0].strip().lower()
        elif section == "velmar" and stripped.split("=")[0].strip().lower() == "server":
            if not done:
                out.append("Server=" + address)
                done = True
            continue
        out.append(line)
    if not done:
        if section != "velmar":
            out.append("[Velmar]")
        out.append("Server=" + address)
    with open(path, "wb") as f:
        f.write(("\r\n".join(out) + "\r\n").encode("cp1251"))


if __name__ == "__main__":
    main()
