#!/bin/sh
# The program without a mouse: a journey through the main window, the table
# editor and the about window with real key presses only:
# e2e_keyboard.sh SCENARIO BINDIR.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"

# Control ids of the main window (app/control_ids.h) and of the editor (editor/editor_ids.h).
sSpeedButton3=102 ListBox1=103 btn_Velmar=107 sSpeedButton2=108 btn_About=110 sSpeedButton9=111
Memo1=116
Edit1=114 Edit2=117 EditSample=119

# The keyboard focus after the keys just pressed have been handled.
focus_is() {  # focus_is WHAT EXPECTED-ID
  i=0
  until [ "$(client focus | tr -d '\r')" = "$2" ]; do
    i=$((i + 1))
    [ $i -le 25 ] || fail "focus $1: control $(client focus | tr -d '\r'), not $2"
    sleep 0.2
  done
  echo "ok: focus $1"
}
key() { xdotool key --delay 80 "$@"; sleep 0.3; }
eclient() { "$run" "$bin/editor_e2e_client.exe" "$@" | tr -d '\r' > out.txt; }
field() { sed -n "s/^$1=//p" out.txt | sed -n "${2:-1}p"; }
# Waits until a top-level window titled $1 is gone.
window_gone() {
  i=0
  while xdotool search --name "^$1\$" >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -le 50 ] || fail "the window '$1' stayed open"
    sleep 0.2
  done
}

case "$scenario" in
journey)
  mkdir -p "$app/Table"
  cp "$here/tables/"*.table "$app/Table/"
  start
  focus_main
  focus_is "at start" $Memo1
  xdotool type --delay 60 "zhuk"
  # Esc in a text box is no command of the main window: the program and the text stay.
  key Escape
  sleep 1.5
  kill -0 "$last" 2>/dev/null || fail "Esc in the upper box ended the program"
  focus_is "after Esc" $Memo1
  expect "upper box after Esc" "$(memo 1)" "zhuk"
  # Back through the upper toolbar to the table list; Down picks the next
  # table, which converts the text at once.
  key shift+Tab
  focus_is "after Shift+Tab" $sSpeedButton9
  key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
  focus_is "on the table list" $ListBox1
  key Down
  text expected.txt 'жук\r\n'
  client wait-memo2 expected.txt || fail "the table picked with Down did not convert: '$(memo 2)'"
  expect "selected row" "$(value list.sel)" 1
  # Tab goes on to the upper toolbar: Space and Enter press a flat button.
  key Tab
  focus_is "on Транслит" $btn_Velmar
  key Tab
  focus_is "on Режим" $sSpeedButton2
  key space
  client wait-menu 5000 || fail "Space on Режим did not open its menu"
  key Escape
  client wait-menu-gone 5000 || fail "Esc did not close the mode menu"

  # Back to the editor button; Enter opens the editor with the focus in its
  # source box. Tab goes to the target box, Enter adds the pair and goes back
  # for the next one; the sample line converts with the new pair.
  key shift+Tab shift+Tab shift+Tab
  focus_is "on the editor button" $sSpeedButton3
  key Return
  window_named "Редактор таблиц" >/dev/null || fail "Enter on the editor button did not open the editor"
  focus_is "in the editor" $Edit1
  xdotool type --delay 60 "q"
  key Tab
  focus_is "on the target box" $Edit2
  xdotool type --delay 60 "Q"
  key Return
  eclient info
  expect "pairs after Enter" "$(field pairs)" 1
  expect "boxes after Enter" "$(field edit1)|$(field edit2)" "|"
  focus_is "back in the source box for the next pair" $Edit1
  key Tab Tab
  focus_is "on the sample line" $EditSample
  xdotool type --delay 60 "aqa"
  eclient info
  expect "sample result" "$(field result)" "aQa"
  # Esc closes the editor as "Закрыть" does: the table is changed, so it asks
  # first; Tab moves to "Нет" and Enter presses it. The focus is back on the
  # button that opened the editor.
  key Escape
  client message-text-rect 5000 >/dev/null || fail "Esc in the editor did not ask about the changed table"
  sleep 0.3
  key Tab Return
  window_gone "Редактор таблиц"
  focus_is "back on the editor button" $sSpeedButton3

  # On to "О программе": a flat button with the focus shows it (its picture
  # differs from the same button without the focus). Enter opens the about
  # window with the focus on "ОК"; Esc closes it and the focus is back.
  key Tab Tab Tab Tab Tab
  focus_is "on О программе" $btn_About
  set -- $(control_rect btn_About)
  about="$3x$4+$1+$2"
  import -window root -crop "$about" about-focused.png
  key Return
  window_named "О программе VelmarPro" >/dev/null || fail "Enter on О программе did not open the about window"
  focus_is "on ОК of the about window" 1
  # Its links are reached by Tab too (Enter would open the browser).
  key Tab
  focus_is "on the about window's web link" 109
  key Tab
  focus_is "on the about window's mail link" 110
  key Escape
  window_gone "О программе VelmarPro"
  focus_is "back on О программе" $btn_About
  # The text boxes' menu from the keyboard, then "Выход" by Tab and Space.
  key Tab
  focus_is "on Выход" $sSpeedButton9
  import -window root -crop "$about" about-unfocused.png
  differ=$(compare -metric AE about-focused.png about-unfocused.png null: 2>&1 || true)
  [ "$differ" != 0 ] || fail "a flat button with the focus looks as one without it"
  echo "ok: the focus shows on a flat button ($differ pixels)"
  key Tab
  focus_is "from Выход on to the upper box" $Memo1
  key shift+F10
  client wait-menu 5000 || fail "Shift+F10 did not open the text boxes' menu"
  key Escape
  client wait-menu-gone 5000 || fail "Esc did not close the text boxes' menu"
  focus_is "back in the upper box after the menu" $Memo1
  key shift+Tab
  focus_is "on Выход again" $sSpeedButton9
  key space
  wait_exit "$last"
  expect "exit code after Выход" "$exit_status" 0
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS $scenario"
