#!/bin/sh
# Installs the Debian packages the build and the tests need, when missing.
set -e
pkgs="cmake make g++ googletest libgtest-dev libbenchmark-dev
      g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth xdotool imagemagick python3 nsis"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq $missing >/dev/null
fi
