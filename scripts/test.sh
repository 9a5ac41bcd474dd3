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
# The tests' Wine prefix is made while the Windows build compiles: wineboot
# mostly waits, and every Windows test would otherwise wait for it. Should it
# fail here, the first test makes it again.
xvfb-run -a sh tests/wine-run.sh --prepare >/dev/null 2>&1 &
prefix=$!
cmake --build --preset windows -j2
wait "$prefix" || true
# One X server for every Windows test; the tests' own Wine prefix lives in build/.
xvfb-run -a -s "-ardelay 60000 -screen 0 1280x1024x24" ctest --preset windows
