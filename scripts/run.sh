#!/bin/sh
# Builds the program and starts it.
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
cmake --preset windows
cmake --build --preset windows -j2
if [ -x build/windows/bin/VelmarPro.exe ] || [ -f build/windows/bin/VelmarPro.exe ]; then
  # Without a display of our own, start one.
  if [ -z "$DISPLAY" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" tests/wine-run.sh build/windows/bin/VelmarPro.exe "$@"
  fi
  exec tests/wine-run.sh build/windows/bin/VelmarPro.exe "$@"
fi
cmake --preset native
cmake --build --preset native -j2
printf 'Щука ест\r\nsecond line\r\n' | build/native/bin/velmar convert
