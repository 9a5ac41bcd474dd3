#!/bin/sh
# Builds everything and runs every test: the native tests, then the Windows
# build's tests under Wine in a headless X server.
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh

cmake --preset native
cmake --build --preset native -j2
ctest --preset native

cmake --preset windows
cmake --build --preset windows -j2
# One X server for every Windows test; the tests' own Wine prefix lives in build/.
xvfb-run -a -s "-ardelay 60000 -screen 0 1280x1024x24" ctest --preset windows
