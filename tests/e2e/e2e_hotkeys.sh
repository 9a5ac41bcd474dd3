#!/bin/sh
# End-to-end scenarios of the tray icon, the global hotkeys and the conversion
# on the fly: e2e_hotkeys.sh SCENARIO BINDIR.
# The hotkeys are really pressed with xdotool on a selection in test_editor.exe,
# our stand-in for the user's other program; hotkey_probe.exe reads the
# clipboard and drives the tray icon's callback and menu.
set -eu
scenario=$1
# A prefix of these scenarios' own, made by wineboot: in a copy of the shared
# one the quick hotkey after a failed paste was lost.
e2e_prefix=hotkeys
. "$(dirname "$0")/e2e_common.sh"
# The scenario's own Wine session keeps the clipboard, the foreground window
# and the global hotkeys from every other test.

desktop=""  # set while the Windows programs run in a Wine desktop window of their own
explorer_key='HKCU\Software\Wine\Explorer'
cleanup_hook() {
  [ -z "$desktop" ] || "$run" reg delete "$explorer_key" /v Desktop /f >/dev/null 2>&1 || true
}
wine_run() { "$run" "$@"; }
# A scenario ended by force may have left the desktop window setting behind.
"$run" reg delete "$explorer_key" /v Desktop /f >/dev/null 2>&1 || true
# From here on every Windows program of the test runs in a Wine desktop window,
# whose taskbar has a notification area (the bare X server has none).
use_desktop() {
  desktop=velmar-tray
  "$run" reg add "$explorer_key\\Desktops" /v "$desktop" /d 1024x768 /f >/dev/null
  "$run" reg add "$explorer_key" /v Desktop /d "$desktop" /f >/dev/null
}
probe() { wine_run "$bin/hotkey_probe.exe" "$@" | tr -d '\r'; }
clip() { probe clipboard | sed -n "s/^$1=//p"; }
# A file's text on one line, its line breaks written as \r and \n.
escaped() { perl -0777 -pe 's/\r/\\r/g; s/\n/\\n/g' "$1"; }
# Windows path of a file of the work folder (the programs may run elsewhere).
win() { echo "Z:$work/$1"; }
memo() {  # memo 1|2: the text of Memo1 or Memo2, line breaks written as \r \n
  client "get-memo$1" "$(win memo.txt)"
  escaped memo.txt
}

start() {
  client wait-gone 15000 || fail "another VelmarPro is running"
  wine_run "$app/VelmarPro.exe" "$@" >/dev/null 2>&1 &
  last=$!
  pids="$pids $last"
  # The first program of a Wine desktop window creates it; the next ones must
  # not race it.
  [ -z "$desktop" ] || sleep 3
  client wait 30000 || fail "no main window after start"
}

# editor NAME TEXT [OPTIONS]: starts the test editor with TEXT (selected
# whole unless --no-select), waits until it shows and gives it the focus.
editor() {
  name=$1
  text=$2
  shift 2
  rm -f "$name.txt"
  wine_run "$bin/test_editor.exe" "$name" "$text" "$(win "$name.txt")" "$@" >/dev/null 2>&1 &
  pids="$pids $!"
  i=0
  until [ -f "$name.txt" ]; do
    i=$((i + 1))
    [ $i -le 300 ] || fail "the editor $name did not start"
    sleep 0.2
  done
  focus "$name"
}
# Gives the window titled $1 the focus, and waits until Wine has it in front
# too: a hotkey pressed before finds the window that was in front.
focus() {
  xdotool search --sync --name "^$1\$" windowfocus --sync >/dev/null
  wine_run "$bin/hotkey_probe.exe" wait-foreground "$1" 30000 >/dev/null || fail "the window $1 did not come to the front"
}
editor_text() { escaped "$1.txt"; }
# wait_editor NAME EXPECTED: until the editor holds EXPECTED (\r \n written out).
wait_editor() {
  i=0
  until [ "$(editor_text "$1")" = "$2" ]; do
    i=$((i + 1))
    [ $i -le 300 ] || fail "editor $1: expected '$2', holds '$(editor_text "$1")'"
    sleep 0.2
  done
  printf "ok: editor %s holds '%s'\n" "$1" "$2"
}
# stays_editor NAME EXPECTED SECONDS: the editor's text does not change.
stays_editor() {
  sleep "$3"
  expect "editor $1 unchanged" "$(editor_text "$1")" "$2"
}
# Until no run works any more, also none that a change of the source box
# during a run may still have armed.
# The limits are generous: a busy machine is slow, and a passing run never
# waits for them.
settle() {
  client wait-run 180000
  sleep 1.5
  client wait-run 180000
}
# Windows-1251 bytes of UTF-8 text (a printf format), in hex.
cp1251_hex() { printf "$1" | iconv -f UTF-8 -t CP1251 | od -An -v -tx1 | tr -d ' \n'; }

case "$scenario" in
quick)
  start
  # The reverse table gives Cyrillic letters: the clipboard then shows which
  # format holds which encoding.
  client select 1
  editor QuickEditor "schuka zhuk"
  xdotool key ctrl+alt+q
  wait_editor QuickEditor 'щука жук'
  client wait-run
  expect "source box" "$(memo 1)" "schuka zhuk"
  # The result box shows the run's result; the paste adds no line break the
  # selection did not have.
  expect "result box" "$(memo 2)" 'щука жук\r\n'
  expect "CF_TEXT in Windows-1251" "$(clip text)" "$(cp1251_hex 'щука жук')"
  expect "CF_UNICODETEXT" "$(clip unicode)" 'щука жук'
  expect "CF_LOCALE is the user's language, two bytes" "$(clip locale)" "$(clip langid)"
  expect "program window not brought forward" "$(probe foreground)" "VelmarTestEditor"

  # A selection of one character starts no run; the hotkeys must still work after it.
  editor OneLetter "z"
  xdotool key ctrl+alt+q
  stays_editor OneLetter "z" 2
  expect_memo 1 "z" "source box after one character"
  editor AfterOneLetter "rak"
  xdotool key ctrl+alt+q
  wait_editor AfterOneLetter 'рак'

  # Part of a line, of two lines, and a selection ending with a line break:
  # the other program holds its text with just the selection converted.
  editor SingleLine "Ехал Greka через реку" --single-line --select 5 10
  xdotool key ctrl+alt+q
  wait_editor SingleLine 'Ехал Грека через реку'
  editor TwoLines "$(printf 'Ехал Greka\r\nreku tut')" --select 5 16
  xdotool key ctrl+alt+q
  wait_editor TwoLines 'Ехал Грека\r\nреку tut'
  editor LineAndBreak "$(printf 'Ехал Greka\r\nчерез')" --select 5 12
  xdotool key ctrl+alt+q
  wait_editor LineAndBreak 'Ехал Грека\r\nчерез'

  # Ctrl and Alt still held while the result is ready: the paste waits for
  # them, or the editor would receive Ctrl+Alt+V and paste nothing.
  editor HeldKeys "zhuk"
  xdotool keydown ctrl keydown alt key q
  sleep 1
  expect "editor while the keys are held" "$(editor_text HeldKeys)" "zhuk"
  xdotool keyup alt keyup ctrl
  wait_editor HeldKeys 'жук'
  close_program
  ;;

main)
  start
  editor MainEditor "Щука и жук"
  xdotool key ctrl+alt+t
  client wait-run
  i=0
  until [ "$(memo 1)" = "Щука и жук" ]; do
    i=$((i + 1))
    [ $i -le 50 ] || fail "the selection did not reach the source box: '$(memo 1)'"
    sleep 0.2
  done
  echo "ok: the selection is in the source box"
  expect "editor unchanged" "$(editor_text MainEditor)" "Щука и жук"
  expect "program window brought forward" "$(probe foreground)" "TVelmarPro_Api"
  # With the program's own window in front, the clipboard's text is taken.
  probe set-clipboard "Рак"
  focus VelmarPro
  xdotool key ctrl+alt+t
  expect_memo 1 "Рак" "source box from the clipboard"
  close_program

  # A window hidden in the tray stays hidden.
  start -autorun
  editor HiddenEditor "жук"
  xdotool key ctrl+alt+t
  expect_memo 1 "жук" "source box of the hidden window"
  expect "still hidden" "$(value visible)" 0
  close_program
  ;;

clipboard-fail)
  # Long enough for a run that lasts a while.
  for i in $(seq 120000); do printf 'Щука и жук\r\n'; done > long.txt
  start
  editor LongEditor "@$(win long.txt)"
  xdotool key ctrl+alt+q
  # The run works; the clipboard is taken away until it has ended.
  i=0
  until [ "$(client idle | tr -d '\r')" = 0 ]; do
    i=$((i + 1))
    [ $i -le 100 ] || fail "no run after the quick hotkey"
    sleep 0.1
  done
  wine_run "$bin/hotkey_probe.exe" hold-clipboard-run 2000 > held.txt &
  holder=$!
  pids="$pids $holder"
  until grep -q held held.txt 2>/dev/null; do
    kill -0 "$holder" 2>/dev/null || { wait "$holder" || fail "the clipboard holder failed"; }
    sleep 0.05
  done
  settle
  wait "$holder" || fail "the clipboard holder failed"
  expect "result box holds the result" "$(memo 2 | cut -c1-30)" 'Schuka i zhuk\r\nSchuka i zhuk'
  sleep 1
  cmp -s LongEditor.txt long.txt || fail "the editor's text changed although nothing could be pasted"
  echo "ok: nothing pasted"
  # The busy state is gone: the next quick hotkey works.
  editor AfterFailure "рак"
  xdotool key ctrl+alt+q
  wait_editor AfterFailure 'rak'

  # Both hotkeys do nothing while a run started another way is in progress.
  # So does the tray menu's clipboard item: it would empty the read-only source box.
  probe set-clipboard "Буфер"
  # A text long enough that the run outlasts the commands sent during it (they
  # take a second, the run about ten; five times as much text only made the
  # box take forty seconds to fill, and a busy machine ran out of time).
  cat long.txt long.txt > longer.txt
  client set-memo1 longer.txt
  focus AfterFailure
  # The keys right after the click: they are in the program's queue while the
  # run works, which the check after them confirms.
  client click btn_Velmar
  xdotool key ctrl+alt+q
  xdotool key ctrl+alt+t
  client menu-command N19
  [ "$(client idle | tr -d '\r')" = 0 ] || fail "the run ended too soon for this test"
  settle
  expect "editor after hotkeys during a run" "$(editor_text AfterFailure)" 'rak'
  client get-memo1 "$(win memo1.txt)"
  cmp -s memo1.txt longer.txt || fail "the source box changed during the run"
  echo "ok: source box unchanged during the run"
  close_program
  ;;

no-copy)
  start
  # Nothing selected: WM_COPY and Ctrl+C copy nothing, and the old clipboard
  # text must not be converted and pasted over the document.
  probe set-clipboard "Старое"
  editor NoSelection "Щука" --no-select
  xdotool key ctrl+alt+q
  stays_editor NoSelection "Щука" 4
  expect "source box untouched" "$(memo 1)" ""
  expect "clipboard untouched" "$(clip unicode)" "Старое"
  # The main hotkey checks the copy the same way: the old text is not loaded.
  editor NoSelectionMain "Щука" --no-select
  xdotool key ctrl+alt+t
  stays_editor NoSelectionMain "Щука" 4
  expect "source box untouched by the main hotkey" "$(memo 1)" ""
  editor NoWmCopyMain "Жук" --ignore-wm-copy
  xdotool key ctrl+alt+t
  i=0
  until [ "$(memo 1)" = "Жук" ]; do
    i=$((i + 1))
    [ $i -le 50 ] || fail "the main hotkey did not copy by Ctrl+C: source box '$(memo 1)'"
    sleep 0.2
  done
  echo "ok: the main hotkey copied by Ctrl+C"
  # A program that ignores WM_COPY but copies on Ctrl+C.
  editor NoWmCopy "Щука" --ignore-wm-copy
  xdotool key ctrl+alt+q
  wait_editor NoWmCopy 'Schuka'
  expect "source box" "$(memo 1)" "Щука"
  # The hotkeys still work after a selection that could not be copied.
  editor NoSelection2 "жук" --no-select
  xdotool key ctrl+alt+q
  stays_editor NoSelection2 "жук" 4
  editor AfterNoCopy "жук"
  xdotool key ctrl+alt+q
  wait_editor AfterNoCopy 'zhuk'
  close_program
  ;;

tray)
  use_desktop
  start
  expect "tray icon present" "$(probe tray-present)" "present=1"
  rects() { for c in ListBox1 Memo1 Memo2; do client rect $c | tr -d '\r'; done; }
  rects > layout.txt
  # Minimised into the tray: hidden; a double click on the icon brings it
  # back, laid out as before, and the caption loses the file name.
  client set-title "VelmarPro - letter.txt"
  client minimize
  expect "hidden when minimised" "$(value visible)" 0
  probe tray dblclick
  sleep 0.5
  expect "shown by a double click" "$(value visible)" 1
  expect "minimised no more" "$(value iconic)" 0
  expect "caption" "$(value title)" "VelmarPro"
  expect "layout after the tray" "$(rects)" "$(cat layout.txt)"
  # The same when a second start asks for the window.
  client set-title "VelmarPro - letter.txt"
  client minimize
  wine_run "$app/VelmarPro.exe" >/dev/null 2>&1
  i=0
  until [ "$(value visible)" = 1 ]; do
    i=$((i + 1))
    [ $i -le 50 ] || fail "a second start did not show the window"
    sleep 0.2
  done
  expect "caption after a second start" "$(value title)" "VelmarPro"
  expect "layout after a second start" "$(rects)" "$(cat layout.txt)"
  # "VelmarPro", the first item of the tray menu, shows the window too.
  client minimize
  probe tray-menu down return >/dev/null
  expect "shown by the menu's first item" "$(value visible)" 1
  # The icon comes back when the taskbar is re-created.
  expect "icon removed" "$(probe tray-delete)" "deleted=1"
  expect "icon gone" "$(probe tray-present)" "present=0"
  probe taskbar-created
  expect "icon back after TaskbarCreated" "$(probe tray-present)" "present=1"
  # "Транслит буфера обмена...": the clipboard into the source box, the window
  # shown, and with automatic conversion on a run a second later.
  client minimize
  probe set-clipboard "Щука"
  probe tray-menu down down return >/dev/null
  expect "clipboard item fills the source box" "$(memo 1)" "Щука"
  expect "shown by the clipboard item" "$(value visible)" 1
  printf 'Schuka\r\n' > expected.txt
  client wait-memo2 "$(win expected.txt)" 10000 || fail "no automatic run after the clipboard item"
  echo "ok: converted a second later"
  # "Выход", the last item, ends the program.
  probe tray-menu up return >/dev/null
  client wait-gone 15000 || fail "the menu's exit did not end the program"
  echo "ok: the menu's exit ends the program"
  ;;

autostart)
  runkey='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
  regvalue() { "$run" reg query "$runkey" /v VelmarPro 2>/dev/null | tr -d '\r' | sed -n 's/^ *VelmarPro *REG_SZ *//p'; }
  "$run" reg delete "$runkey" /v VelmarPro /f >/dev/null 2>&1 || true
  start
  exe=$("$run" winepath -w "$app/VelmarPro.exe" | tr -d '\r')
  # Tray menu: down to "Параметры", into the submenu, "Запускать вместе с Windows".
  probe tray-menu down down down right return >/dev/null
  expect "Run value after turning autostart on" "$(regvalue)" "\"$exe\" -autorun"
  probe tray-menu down down down right return >/dev/null
  expect "Run value after turning it off" "$(regvalue)" ""
  close_program
  # A value present at start sets the check mark, so the item turns autostart off.
  "$run" reg add "$runkey" /v VelmarPro /t REG_SZ /d "other data" /f >/dev/null
  start
  probe tray-menu down down down right return >/dev/null
  expect "Run value after the click with the mark set at start" "$(regvalue)" ""
  close_program
  ;;

capitals)
  start
  # A heading in capitals in the middle of a line of another program: the
  # selection alone is converted, in capitals.
  editor CapitalsEditor "Вот ЩУКА ЖУК и Щука" --single-line --select 4 12
  xdotool key ctrl+alt+q
  wait_editor CapitalsEditor 'Вот SCHUKA ZHUK и Щука'
  expect "result box" "$(memo 2)" 'SCHUKA ZHUK\r\n'
  close_program
  # Turned off in the settings file: the literal algorithm, in the window too.
  printf '[Velmar]\r\nCapitalWords=0\r\n' > "$app/VelmarPro.dat"
  start
  editor LiteralEditor "ЩУКА" --single-line --select 0 4
  xdotool key ctrl+alt+q
  wait_editor LiteralEditor 'SchUKA'
  printf 'ЖУК' > in.txt
  client convert "$(win in.txt)" "$(win out.txt)" > /dev/null
  expect "result box with the rule off" "$(escaped out.txt)" 'ZhUK\r\n'
  close_program
  expect "the setting is kept" "$(grep -c 'CapitalWords=0' "$app/VelmarPro.dat")" 1
  ;;

unicode)
  # A Unicode table in the table folder: slot 2, its reverse slot 3.
  mkdir -p "$app/Table"
  cp "$here/../../tables/serbian-latin.table" "$app/Table/"
  start
  expect "list row of the Unicode table" "$(value 'list\[2\]')" "Српски (ћирилица) - Srpski (latinica)"
  client select 2
  expect "information line" "$(value label3) > $(value label5)" \
    "Српски (ћирилица) > Srpski (latinica) [ Ćirilica → latinica ]"
  # Through the window: every character of the box reaches the result.
  printf 'Љубав и Њујорк 😀\r\nЂорђе, Чачак, Шабац' > sr.txt
  client convert "$(win sr.txt)" "$(win out.txt)" > /dev/null
  expect "result box" "$(escaped out.txt)" 'Ljubav i Njujork 😀\r\nĐorđe, Čačak, Šabac\r\n'
  # The quick hotkey: the other program gets the Unicode result (a selection
  # without a final line break is pasted without one).
  editor SerbianEditor "Чачак и Шабац"
  xdotool key ctrl+alt+q
  wait_editor SerbianEditor 'Čačak i Šabac'
  expect "CF_UNICODETEXT" "$(clip unicode)" 'Čačak i Šabac'
  expect "CF_TEXT: a question mark for what Windows-1251 has not" "$(clip text)" "$(cp1251_hex '?a?ak i ?abac')"
  close_program
  ;;

*)
  fail "unknown scenario"
  ;;
esac
echo "PASS [$scenario]"
