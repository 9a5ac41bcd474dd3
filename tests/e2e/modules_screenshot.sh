#!/bin/sh
# Takes the README's picture of the module window: site/ served on a loopback
# port, one module already installed, one row selected.
#   modules_screenshot.sh WINDOWS-BINDIR OUTPUT.png   (needs an X display)
set -eu
bin=$(cd "$1" && pwd)
out=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
here=$(cd "$(dirname "$0")" && pwd)
root="$here/../.."
run="$here/../wine-run.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-shot.XXXXXX")
pid="" server=""
cleanup() {
  for p in $pid $server; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
mkdir -p app/Table www
cp "$bin/VelmarPro.exe" app/
cp -R "$root/site/." www/
cp www/zo_velmar/modules/ru-icao-9303.table app/Table/
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 "$root/site/make_catalogue.py" "http://127.0.0.1:$port" www
python3 -m http.server --bind 127.0.0.1 --directory www "$port" >/dev/null 2>&1 &
server=$!
python3 "$root/scripts/set_server.py" app/VelmarPro.dat "http://127.0.0.1:$port"
probe() { "$run" "$bin/modules_probe.exe" "$@" | tr -d '\r'; }

"$run" "$work/app/VelmarPro.exe" >/dev/null 2>&1 &
pid=$!
"$run" "$bin/velmar_e2e_client.exe" wait 30000
probe open
probe list >/dev/null
set -- $(probe row-point 1)
xdotool mousemove "$1" "$2" click 1
xdotool mousemove 0 0
sleep 0.5
set -- $(probe rect)
import -window root -crop "$3x$4+$1+$2" "$out"
probe close
"$run" "$bin/velmar_e2e_client.exe" close
wait "$pid" || true
pid=""
echo "$out"
