#!/bin/sh
# End-to-end scenarios of VelmarPro.exe under Wine: e2e.sh SCENARIO BINDIR.
# Every scenario works in a fresh program folder and ends every process it
# started (e2e_common.sh).
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"

convert() {  # convert INPUT-TEXT EXPECTED-TEXT NAME (printf formats)
  text in.txt "$1"
  text expected.txt "$2"
  client convert in.txt out.txt >/dev/null
  cmp -s out.txt expected.txt || fail "$3: Memo2 holds '$(cat out.txt)'"
  echo "ok: $3"
}

case "$scenario" in
convert)
  mkdir -p "$app/Table"
  cp "$here/tables/"*.table "$app/Table/"
  start
  expect "window caption" "$(value title)" "VelmarPro"
  expect "title label" "$(value label1)" "VelmarPro 1.1.1.190"
  expect "table rows" "$(value list.count)" 8
  expect "row height" "$(value list.itemheight)" 30
  expect "row 0" "$(value 'list\[0\]')" "Русский - Английский"
  expect "row 1" "$(value 'list\[1\]')" "Английский - Русский"
  expect "row 6" "$(value 'list\[6\]')" "Украинский - Английский"
  expect "selected row" "$(value list.sel)" 0
  expect "table information" "$(value label3) $(value label4) $(value label5)" \
    "Русский > Английский [ BGN/PCGN (1965) ]"
  expect "status label" "$(value label2)" "Символов: 0"

  convert 'Щука' 'Schuka\r\n' "one line gets a line break"
  # One character is not converted: the result box keeps the last result.
  text in.txt 'Щ'
  client set-memo1 in.txt
  client click btn_Velmar
  client wait-run
  client get-memo2 out.txt
  cmp -s out.txt expected.txt || fail "a one-character text was converted"
  echo "ok: one character is not converted"
  convert 'Щ\r\n' 'Sch\r\n' "one character and a line break"

  # Characters Windows-1251 cannot hold pass unchanged; a line of 6000
  # characters is converted whole.
  long=$(printf 'жя%.0s' $(seq 3000))
  longout=$(printf 'zhya%.0s' $(seq 3000))
  convert "Щука и жук 😀 中文 ü ñ\r\n$long\r\n€ — «ёлка» ß\r\n😀" \
    "Schuka i zhuk 😀 中文 ü ñ\r\n$longout\r\n€ — «yelka» ß\r\n😀\r\n" \
    "foreign characters survive, long lines whole"
  case "$(client label2 | tr -d '\r')" in
  "Символов "*", слов "*", пробелов "*", Размер: "*) echo "ok: status line after the run" ;;
  *) fail "status line after the run: $(client label2)" ;;
  esac

  # Choosing a table starts a run with it and shows its information line.
  text in.txt 'schuka zhuk\r\n'
  text expected.txt 'щука жук\r\n'
  client set-memo1 in.txt
  client select 1
  client wait-memo2 expected.txt || fail "choosing the reverse table gave '$(cat out.txt)'"
  expect "information after choosing" "$(value label3) $(value label5)" "Английский Русский [ BGN/PCGN (1965) ]"
  text in.txt 'щука їжак\r\n'
  text expected.txt 'shchuka yizhak\r\n'
  client set-memo1 in.txt
  client select 6
  client wait-memo2 expected.txt || fail "choosing a file table"
  expect "information of a file table" "$(value label5)" "Английский [ Паспортная транслитерация (2010) ]"
  # After every change of table the information line shows what a full
  # repaint shows: nothing is left of the texts that stood there before.
  set -- $(client rect Label3 | tr -d '\r')
  strip="420x16+$1+$2"
  for i in 2 4 0 4; do
    client select "$i"
    client paint
    import -window root -crop "$strip" changed.png
    client redraw
    import -window root -crop "$strip" repainted.png
    compare -metric AE changed.png repainted.png null: 2>/dev/null ||
      fail "information line of table $i differs from its full repaint"
  done
  echo "ok: the information line is drawn whole after changes of table"

  # A run asked for during a run follows it, once.
  for i in $(seq 60000); do echo 'Щука и жук'; done > first.txt
  text second.txt 'рак\r\n'
  text expected.txt 'rak\r\n'
  client select 0
  client convert-twice first.txt second.txt expected.txt
  echo "ok: a run requested during a run follows it"

  # Output options of the mode menu: compress; "_" for blanks; hyphen (which clears "_").
  client mode-menu 3
  convert 'Щука и  рак\r\nлебедь\r\n' "Schuka i rak lebed'" "compress option"
  client mode-menu 1
  convert 'Щука и  рак\r\nлебедь\r\n' "Schuka_i__rak lebed'" "underscore and compress options"
  client mode-menu 2
  client mode-menu 3
  convert 'Щука и  рак\r\nлебедь\r\n' "Schuka-i--rak\r\nlebed'\r\n" "hyphen option"

  close_program
  expect "settings file" "$(cat "$app/VelmarPro.dat")" "$(printf '[Velmar]\r\nModule=0\r\nAutoTrans=1\r')"
  ;;

instance)
  start
  first=$last
  client minimize
  expect "minimised" "$(value iconic)" 1
  # A second start hands the show request to the first and ends at once.
  timeout 60 "$run" "$app/VelmarPro.exe" >/dev/null 2>&1 || fail "the second start did not end cleanly"
  expect "main windows after a second start" "$(client count | tr -d '\r')" 1
  expect "restored by the second start" "$(value iconic)" 0
  expect "visible after the second start" "$(value visible)" 1
  timeout 60 "$run" "$app/VelmarPro.exe" -autorun >/dev/null 2>&1 || fail "the second start with -autorun did not end"
  expect "main windows after a second -autorun start" "$(client count | tr -d '\r')" 1
  last=$first
  close_program
  client wait-gone 10000 || fail "a window is left after close"
  ;;

instance-ending)
  # A copy that is ending holds the mutex but has no window any more: a start
  # in that moment waits for it to end and then starts, instead of handing
  # the show request to nobody and quitting.
  "$run" "$bin/window_probe.exe" hold-mutex 3000 > held.txt 2>&1 &
  holder=$!
  pids="$pids $holder"
  i=0
  until grep -q held held.txt 2>/dev/null; do
    i=$((i + 1))
    [ $i -le 150 ] || fail "the mutex holder did not start: $(cat held.txt)"
    sleep 0.1
  done
  "$run" "$app/VelmarPro.exe" >/dev/null 2>&1 &
  last=$!
  pids="$pids $last"
  client wait 60000 || fail "no main window after the ending copy let go of the mutex"
  expect "main windows" "$(client count | tr -d '\r')" 1
  close_program
  # The real thing: a start right after closing the running copy shows a window.
  for round in 1 2 3; do
    start
    old=$last
    client close
    "$run" "$app/VelmarPro.exe" >/dev/null 2>&1 &
    last=$!
    pids="$pids $last"
    wait_exit "$old"
    client wait 60000 || fail "round $round: no main window after a start right after a close"
    close_program
  done
  ;;

autorun)
  start -autorun
  expect "hidden after -autorun" "$(value visible)" 0
  # The show request does not show a window that has never been shown.
  timeout 60 "$run" "$app/VelmarPro.exe" >/dev/null 2>&1 || fail "the second start did not end cleanly"
  expect "still hidden" "$(value visible)" 0
  expect "main windows" "$(client count | tr -d '\r')" 1
  close_program
  [ -f "$app/VelmarPro.dat" ] || fail "no settings file after closing a hidden window"
  # Only the first argument, exactly "-autorun", hides the window.
  for args in "-AUTORUN" "x -autorun"; do
    # shellcheck disable=SC2086
    start $args
    expect "visible with '$args'" "$(value visible)" 1
    close_program
  done
  ;;

settings)
  mkdir -p "$app/Table"
  cp "$here/tables/"*.table "$app/Table/"
  text "$app/VelmarPro.dat" '[Velmar]\r\nShowUpdate=0\r\nServer=http://127.0.0.1:9\r\n'
  start
  client select 2
  client click CheckBox1
  close_program
  dat=$(tr -d '\r' < "$app/VelmarPro.dat")
  expect "settings after close" "$dat" "$(printf '[Velmar]\nShowUpdate=0\nServer=http://127.0.0.1:9\nModule=2\nAutoTrans=0')"
  # The next start begins with the first table and automatic conversion on.
  start
  expect "first table selected at start" "$(value list.sel)" 0
  # Minimum window size and splitter minimum.
  expect "minimum size" "$(client resize 300 200 | tr -d '\r')" "size=600x340"
  set -- $(control_rect VerticalSplitter)
  sx=$(($1 + 1)) sy=$(($2 + 150))
  set -- $(control_rect sSpeedButton1)  # at the left edge of the client area
  left=$(($1 - 2))
  xdotool mousemove $sx $sy mousedown 1 mousemove $((sx - 40)) $sy mousemove $((left + 5)) $sy mouseup 1
  set -- $(control_rect VerticalSplitter)
  expect "left column after dragging the splitter to the edge" "$(($1 - left))" 100
  set -- $(control_rect Image2)  # 14 pixels above the bottom of the client area
  bottom=$(($2 + 14))
  set -- $(control_rect HorizontalSplitter)
  xdotool mousemove $(($1 + 100)) $(($2 + 1)) mousedown 1 mousemove $(($1 + 100)) $(($2 + 30)) \
    mousemove $(($1 + 100)) $((bottom + 50)) mouseup 1
  set -- $(control_rect HorizontalSplitter)
  expect "lower part after dragging the splitter to the bottom" "$((bottom - $2 - 3))" 100
  close_program
  dat=$(tr -d '\r' < "$app/VelmarPro.dat")
  expect "settings after the second close" "$dat" "$(printf '[Velmar]\nShowUpdate=0\nServer=http://127.0.0.1:9\nModule=0\nAutoTrans=1')"
  ;;

readonly)
  start
  # A read-only program folder. Root writes through permissions, so the
  # folder is made read-only by a read-only bind mount where that is allowed.
  if mount --bind "$app" "$app" 2>/dev/null; then
    mounted=$app
    mount -o remount,bind,ro "$app" 2>/dev/null || fail "cannot remount read-only"
  elif [ "$(id -u)" != 0 ]; then
    chmod a-w "$app"
  fi
  if touch "$app/probe" 2>/dev/null; then
    rm -f "$app/probe"
    echo "skipped: cannot make a folder read-only here"
    exit 77
  fi
  probe() { "$run" "$bin/hotkey_probe.exe" "$@" | tr -d '\r' | tr '\n' ' '; }
  expect "hotkeys held before the close" "$(probe hotkey-held)" "quick=1 main=1 "
  client close
  msg=$(client message-box | tr -d '\r')
  case "$msg" in
  "Unable to write to "*'\VelmarPro.dat') echo "ok: message '$msg'" ;;
  *) fail "message box said '$msg'" ;;
  esac
  # The window stays open, and so do its hotkeys.
  expect "hotkeys held after the failed close" "$(probe hotkey-held)" "quick=1 main=1 "
  sleep 0.5
  kill -0 "$last" 2>/dev/null || fail "the program ended after a failed settings write"
  expect "window stays open" "$(value visible)" 1
  ls "$app" | grep -q . && [ ! -e "$app/VelmarPro.dat" ] || fail "something was written"
  # Writable again: the next close writes the file and ends the program.
  if [ -n "$mounted" ]; then umount "$mounted" && mounted=""; else chmod u+w "$app"; fi
  close_program
  expect "settings after the folder became writable" "$(tr -d '\r' < "$app/VelmarPro.dat")" \
    "$(printf '[Velmar]\nModule=0\nAutoTrans=1')"
  ;;

*)
  fail "unknown scenario"
  ;;
esac
echo "PASS [$scenario]"
