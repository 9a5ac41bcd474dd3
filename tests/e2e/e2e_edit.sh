#!/bin/sh
# End-to-end scenarios of the editing commands and view options, driven by
# real key presses and mouse clicks: e2e_edit.sh SCENARIO BINDIR.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"

# Controls go by their names in app/win/control_ids.h.

# A registered protocol client that prints every result until the program closes.
listen() {
  vclient_bg --timeout 120000 --class VelmarTestListener wait-closed > "$1"
  listener=$last_bg
  client wait-window VelmarTestListener || fail "the listener did not start"
}
results() { tr -d '\r' < "$1" | grep -c '^api_velmar_result:' || true; }
# The colour of a pixel of the screen, as "#RRGGBB".
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/.*\(#[0-9A-F]\{6\}\).*/\1/p' | head -1; }
# The colour inside a text box, away from its text.
box_colour() {
  set -- $(client rect "$1" | tr -d '\r')
  pixel $(($1 + $3 - 40)) $(($2 + $4 - 30))
}

case "$scenario" in
auto)
  start
  listen listen.txt
  focus_main
  # Keys 450 ms apart: a second that were not restarted by every key would end
  # before the last one.
  for key in a b c d; do
    xdotool type "$key"
    sleep 0.45
  done
  expect "result box just after typing" "$(memo 2)" ""
  sleep 1.2
  expect "result box a second after the last key" "$(memo 2)" "$(printf 'abcd\r\n')"
  expect "runs for four key presses" "$(results listen.txt)" 1

  # One character is never converted; a second one is.
  click_control btn_New
  click_control Memo1
  xdotool type x
  sleep 1.6
  expect "result box after one character" "$(memo 2)" ""
  # Automatic conversion off: nothing runs; on again: the text runs a second later.
  click_control CheckBox1
  click_control Memo1
  xdotool type y
  sleep 1.6
  expect "result box with automatic conversion off" "$(memo 2)" ""
  click_control CheckBox1
  sleep 0.5
  expect "result box just after switching it on" "$(memo 2)" ""
  sleep 1.2
  expect "result box a second after switching it on" "$(memo 2)" "$(printf 'xy\r\n')"
  # A run started at once takes the text that armed the automatic run: that
  # one is dropped, not repeated a second later.
  text in.txt 'zz'
  client set-memo1 in.txt
  client click btn_Velmar
  sleep 2
  expect "runs after a change and an immediate run" "$(results listen.txt)" 3
  close_program
  wait_exit "$listener"
  expect "results heard by the client" "$(tr -d '\r' < listen.txt | grep '^api_velmar_result:' | tr '\n' '|')" \
    "api_velmar_result:abcd|api_velmar_result:xy|api_velmar_result:zz|"
  ;;

open-save)
  # Lone LF and lone CR line ends, in Windows-1251.
  printf 'first\nсекунда\rthird' | iconv -f UTF-8 -t CP1251 > lf.txt
  start
  listen listen.txt
  click_control btn_Open
  file_dialog Open "$(winpath lf.txt)"
  text expected.txt 'first\r\nsekunda\r\nthird\r\n'
  client wait-memo2 expected.txt 20000
  echo "ok: opening runs the text at once"
  expect "source box" "$(memo 1)" "$(printf 'first\r\nсекунда\r\nthird')"
  expect "caption" "$(value title)" "VelmarPro - lf.txt"
  sleep 1.5
  expect "runs after opening" "$(results listen.txt)" 1

  # Saving writes the box as it is: CR LF, Windows-1251, nothing added.
  click_control btn_Save
  pick_menu_item 1
  file_dialog "Save As" "$(winpath source.txt)"
  printf 'first\r\nсекунда\r\nthird' | iconv -f UTF-8 -t CP1251 > expected.txt
  cmp source.txt expected.txt || fail "saved source differs"
  echo "ok: saved source"
  click_control btn_Save
  pick_menu_item 2
  file_dialog "Save As" "$(winpath result.txt)"
  printf 'first\r\nsekunda\r\nthird\r\n' > expected.txt
  cmp result.txt expected.txt || fail "saved result differs"
  echo "ok: saved result"

  # A full disk: the old file stays whole and the real error is shown (a
  # small memory file system where this runs as root).
  mkdir full
  if mount -t tmpfs -o size=64k tmpfs full 2>/dev/null; then
    mounted=$work/full
    printf 'old text\r\n' > full/old.txt
    dd if=/dev/zero of=full/filler bs=1k count=1024 2>/dev/null || true
    click_control btn_Save
    pick_menu_item 1
    file_dialog "Save As" "$(winpath full/old.txt)"
    box=$(client message-box 10000 | tr -d '\r')
    case $box in
      "Cannot write file"*) echo "ok: a full disk is reported: $box" ;;
      *) fail "a save on a full disk said: '$box'" ;;
    esac
    expect "old file after a save on a full disk" "$(cat full/old.txt)" "$(printf 'old text\r\n')"
    expect "files left on the full disk" "$(ls full | tr '\n' ' ')" "filler old.txt "
    umount full && mounted=""
  else
    echo "skip: a full disk needs a tmpfs mount (root)"
  fi

  # Characters Windows-1251 cannot hold: the user is asked; "Cancel" writes
  # nothing, "No" writes question marks in their place, "Yes" writes UTF-8
  # with its byte order mark.
  text in.txt 'a\344\270\255b \342\234\223'
  : > empty.txt
  client set-memo1 in.txt
  click_control btn_Save
  pick_menu_item 1
  file_dialog "Save As" "$(winpath lossy.txt)"
  # The question is shown whole: no text reaches the right edge of its box,
  # where a line too long for it would be cut off.
  set -- $(client message-text-rect 10000 | tr -d '\r')
  sleep 0.5
  edge=$(import -window root -crop "2x$4+$(($1 + $3 - 2))+$2" -depth 8 txt:- |
    sed -n 's/.*\(#[0-9A-F]\{6\}\).*/\1/p' | sort -u | wc -l)
  expect "colours at the right edge of the question" "$edge" 1
  expect "question before a lossy save" "$(client message-box 10000 2 | tr -d '\r')" \
    "$(printf '%s\n' 'Текст содержит символы, которых нет' 'в кодировке Windows-1251.' 'Сохранить файл в кодировке UTF-8?' \
      '("Нет" — в Windows-1251, эти символы' 'будут заменены знаком "?")')"
  sleep 3
  [ ! -e lossy.txt ] || fail "a cancelled save wrote the file"
  echo "ok: a cancelled save writes nothing"
  for answer in 7 6; do
    rm -f lossy.txt
    click_control btn_Save
    pick_menu_item 1
    file_dialog "Save As" "$(winpath lossy.txt)"
    client message-box 10000 $answer > /dev/null
    # The file is written once the message box has gone.
    i=0
    until [ -s lossy.txt ]; do
      i=$((i + 1))
      [ $i -le 50 ] || fail "nothing saved after the answer $answer"
      sleep 0.2
    done
    [ $answer = 6 ] || expect "a lossy save" "$(cat lossy.txt)" "a?b ?"
  done
  expect "a save in UTF-8" "$(od -An -tx1 lossy.txt | tr -d ' \n')" "efbbbf61e4b8ad6220e29c93"
  # Opening reads such a file back as UTF-8.
  client set-memo1 empty.txt
  click_control btn_Open
  file_dialog Open "$(winpath lossy.txt)"
  i=0
  until [ "$(memo 1)" = "$(cat in.txt)" ]; do
    i=$((i + 1))
    [ $i -le 50 ] || fail "the UTF-8 file did not come back: '$(memo 1)'"
    sleep 0.2
  done
  echo "ok: a UTF-8 file opened"
  client wait-run

  # New empties both boxes; saving the empty result box overwrites the file with nothing.
  click_control btn_New
  expect "caption after New" "$(value title)" "VelmarPro"
  expect "source box after New" "$(memo 1)" ""
  expect "result box after New" "$(memo 2)" ""
  click_control btn_Save
  pick_menu_item 2
  file_dialog "Save As" "$(winpath result.txt)"
  expect "size of a saved empty result" "$(wc -c < result.txt)" 0
  close_program
  ;;

edit)
  start
  text in.txt 'Щука\r\n'
  client set-memo1 in.txt
  client click btn_Velmar
  client wait-run
  expect "colour of the source box at start" "$(box_colour Memo1)" "#FFFFFF"
  expect "colour of the result box at start" "$(box_colour Memo2)" "#F2FAFF"
  focus_main
  click_control Memo1
  # The context menu of the result box acts on the result box, even though
  # the source box was clicked last: select all, copy.
  context_menu Memo2 8
  expect "colour of the result box after a right click" "$(box_colour Memo2)" "#FFFFFF"
  expect "colour of the source box after a right click on the other" "$(box_colour Memo1)" "#F2FAFF"
  context_menu Memo2 5
  # No automatic runs from here: a run makes both boxes read-only for a moment,
  # and an undo that came then would be refused.
  client click CheckBox1
  # Empty the source box through its own menu (select all, delete), then paste
  # with the toolbar, which acts on the box clicked last.
  context_menu Memo1 8
  context_menu Memo1 7
  expect "source box after select all and delete" "$(memo 1)" ""
  click_control btn_Paste
  expect_memo 1 "$(printf 'Schuka\r\n')" "source box after paste"
  click_control btn_Undo
  expect_memo 1 "" "source box after undoing the paste"
  # Cut from the result box with the toolbar.
  click_control Memo2
  context_menu Memo2 8
  click_control btn_Cut
  expect_memo 2 "" "result box after cut"
  close_program
  ;;

help)
  # Without "Help.chm" the help command opens "ReadMe.txt" beside the program
  # with the program the system has for text files.
  printf 'VelmarPro help\r\n' > "$app/ReadMe.txt"
  "$run" reg delete 'HKCR\.txt' /f >/dev/null 2>&1 || true
  start
  # No program for text files: the user is told.
  client click sSpeedButton4 &
  message=$(client message-box 10000 | tr -d '\r')
  wait $!
  case "$message" in
  *%1*) fail "the system's message has an unfilled insert: '$message'" ;;
  "Не удалось открыть \"$(winpath app/ReadMe.txt)\". "*) echo "ok: no program for ReadMe.txt: $message" ;;
  *) fail "message without a program for text files: '$message'" ;;
  esac
  "$run" reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null
  client click sSpeedButton4
  w=$(window_named "ReadMe.txt - Notepad") || w=$(window_named "ReadMe - Notepad") || fail "ReadMe.txt was not opened"
  echo "ok: help opened ReadMe.txt"
  xdotool windowkill "$w"
  close_program
  ;;

*)
  fail "unknown scenario"
  ;;
esac
echo "PASS [$scenario]"
