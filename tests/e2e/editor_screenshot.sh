#!/bin/sh
# Pictures of the table editor and its parameters dialog for the README:
# editor_screenshot.sh WINDOWS-BINDIR OUTPUT-FOLDER (editor-window.png, table-params.png).
# Needs an X display (for example xvfb-run -a -s "-screen 0 1280x1024x24").
# Xvfb has no window manager, so the pictures show the windows without their frames.
set -eu
scenario=screenshot
out=$(cd "$2" && pwd)
set -- "$scenario" "$1"  # what the shared part reads
. "$(dirname "$0")/e2e_common.sh"
eclient() { "$run" "$bin/editor_e2e_client.exe" "$@" >/dev/null; }
shot() {  # shot WINDOW-TITLE FILE
  w=$(window_named "$1") || fail "no window '$1'"
  sleep 0.5
  import -window "$w" "$out/$2"
  echo "$out/$2"
}

mkdir -p "$app/Table"
cp "$here/tables/ukrainian.table" "$app/Table/"
start
eclient edit-row 2 \; select 8 \; set sample 'Щедрий вечір, добрий вечір'
shot "Редактор таблиц - ukrainian.table \[Украинский : Английский\]" editor-window.png
"$run" "$bin/editor_e2e_client.exe" press params >/dev/null
shot "Параметры таблицы" table-params.png
# The program is ended with the script.
