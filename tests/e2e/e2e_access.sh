#!/bin/sh
# End-to-end scenario of what a screen reader finds: e2e_access.sh read BINDIR.
# The main window, the table editor, its parameters dialog and the about window
# are read through the accessibility interfaces (access_probe), not through
# window messages: every control has a name, the rows of the two lists read as
# texts, the automatic-conversion button is a check button that says whether
# it is on, the about window's links are links.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"

eclient() { "$run" "$bin/editor_e2e_client.exe" "$@" | tr -d '\r' > out.txt; }
# probe WINDOW [close]: the window as read through oleacc, into WINDOW.txt.
probe() { "$run" "$bin/access_probe.exe" "$@" | tr -d '\r' > "$1.txt"; }
# The line of control ID in WINDOW.txt.
control() { grep "^control $2 " "$1.txt" || fail "no control $2 in the $1 window: $(cat "$1.txt")"; }
# The field NAME (role, state, name) of a probe line; the name is the rest of the line.
field() {
  case $1 in
  name) sed -n 's/.* name=//p' ;;
  *) sed -n "s/.* $1=\([^ ]*\) .*/\1/p" ;;
  esac
}
no_nameless() {
  if grep '^nameless:' "$1.txt"; then fail "controls without a name in the $1 window: $(cat "$1.txt")"; fi
  echo "ok: every control of the $1 window has a name"
}
row() { grep "^  row $2 " "$1.txt" | field name; }
checked() { state=$(control main 126 | field state); echo $(((0x$state & 0x10) != 0)); }  # STATE_SYSTEM_CHECKED

case "$scenario" in
read)
  mkdir -p "$app/Table"
  printf '[Information]\r\nFrom=Тест\r\nTo=Латиница\r\nDescription=Проба\r\n[Table]\r\nЖ=Zh\r\n_Щ=_Shch\r\n' |
    iconv -f UTF-8 -t CP1251 > "$app/Table/test.table"
  start

  probe main
  no_nameless main
  expect "row 0 of the table list" "$(row main 0)" "Русский → Английский, BGN/PCGN (1965)"
  expect "row 1" "$(row main 1)" "Английский → Русский, BGN/PCGN (1965)"
  expect "row of a table file" "$(row main 2)" "Тест → Латиница, Проба"
  expect "rows read" "$(grep -c '^  row ' main.txt)" "$(value list.count)"
  expect "the list's role" "$(control main 103 | field role)" list
  expect "the list's name" "$(control main 103 | field name)" "Таблицы"
  expect "the source box" "$(control main 116 | field name)" "Исходный текст"
  expect "the result box" "$(control main 127 | field name)" "Результат"
  expect "the about button, cut short on screen" "$(control main 110 | field name)" "О программе"
  expect "an icon-only button" "$(control main 122 | field name)" "Копировать"
  expect "the information line" "$(control main 113 | field name)" "Русский"
  expect "the status line" "$(control main 128 | field name)" "$(client label2 | tr -d '\r')"
  expect "the automatic-conversion button" "$(control main 126 | field role)" checkbutton
  expect "automatic conversion on" "$(checked)" 1
  client click CheckBox1
  probe main
  expect "automatic conversion off after a click" "$(checked)" 0

  # The table editor with the table file, and its parameters dialog.
  eclient edit-row 2
  probe editor
  no_nameless editor
  expect "pair 0 of the editor" "$(row editor 0)" "Ж → Zh"
  expect "pair 1, with blanks" "$(row editor 1)" "_Щ → _Shch"
  expect "a button's tip" "$(control editor 105 | sed -n 's/.* description=\(.*\) name=.*/\1/p')" "Удалить пару (Del)"
  expect "a box named by its label" "$(control editor 114 | field name)" "Орегинал:"
  expect "the sample's result" "$(control editor 121 | field name)" "Результат пробы"
  "$run" "$bin/editor_e2e_client.exe" press params
  probe params close
  no_nameless params
  eclient close-editor \; wait-gone

  # The about window: its links are links.
  "$run" "$bin/window_probe.exe" about keep > /dev/null
  probe about close
  no_nameless about
  expect "the web link" "$(control about 109 | field role)" link
  expect "the banner, a link to the web page" "$(control about 101 | field role)" link
  close_program
  ;;

*)
  echo "unknown scenario $scenario" >&2
  exit 2
  ;;
esac
