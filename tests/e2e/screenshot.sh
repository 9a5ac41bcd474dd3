#!/bin/sh
# Takes a screenshot of the main window with several tables, a converted text
# and the mouse over "Транслит": screenshot.sh WINDOWS-BINDIR OUTPUT.png
# Needs an X display (for example xvfb-run -a -s "-screen 0 1280x1024x24").
set -eu
bin=$(cd "$1" && pwd)
out=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../wine-run.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-shot.XXXXXX")
pid=""
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  [ -z "$pid" ] || wait "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
mkdir -p app/Table
cp "$bin/VelmarPro.exe" app/
cp "$here/tables/"*.table app/Table/
client() { "$run" "$bin/velmar_e2e_client.exe" "$@"; }

# Xvfb has no window manager, so the picture shows the window without its frame.
"$run" "$work/app/VelmarPro.exe" >/dev/null 2>&1 &
pid=$!
client wait 30000
printf 'Съешь же ещё этих мягких французских булок, да выпей чаю.\r\nЩука и ёж живут в Подмосковье.\r\nЧасто пишем — и всё сохраняется.\r\n' > in.txt
client set-memo1 in.txt
client click btn_Velmar
client wait-run
set -- $(client rect btn_Velmar | tr -d '\r')
xdotool mousemove $(($1 + 20)) $(($2 + 15))
sleep 0.5
set -- $(client rect main | tr -d '\r')
import -window root -crop "$3x$4+$1+$2" "$out"
xdotool mousemove 0 0
client close
wait "$pid" || true
pid=""
echo "$out"
