#!/bin/sh
# Builds the program and starts it. The maker's server is played by site/,
# served on a free loopback port for as long as the program runs, and the
# program's "Server" setting points at it, so "Загрузить модули" works on a
# fresh machine.
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
cmake --preset windows
cmake --build --preset windows -j2
if [ -f build/windows/bin/VelmarPro.exe ]; then
  bin=build/windows/bin
  www=$(mktemp -d "${TMPDIR:-/tmp}/velmar-site.XXXXXX")
  server=""
  stop() {
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$www"
  }
  trap stop EXIT
  trap 'exit 1' INT TERM
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  cp -R site/. "$www/"
  python3 site/make_catalogue.py "http://127.0.0.1:$port" "$www"
  python3 -m http.server --bind 127.0.0.1 --directory "$www" "$port" >/dev/null 2>&1 &
  server=$!
  python3 scripts/set_server.py "$bin/VelmarPro.dat" "http://127.0.0.1:$port"
  echo "site/ is served at http://127.0.0.1:$port/ while the program runs"
  # Without a display of our own, start one.
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" tests/wine-run.sh "$bin/VelmarPro.exe" "$@"
  else
    tests/wine-run.sh "$bin/VelmarPro.exe" "$@"
  fi
  exit 0
fi
cmake --preset native
cmake --build --preset native -j2
printf 'Щука ест\r\nsecond line\r\n' | build/native/bin/velmar convert
