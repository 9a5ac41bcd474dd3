#!/bin/sh
# End-to-end scenarios of the text tools, driven by real mouse clicks on the
# status label and the context menu: e2e_tools.sh SCENARIO BINDIR.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"

# Controls go by their names in app/win/control_ids.h.
# Items of the text boxes' context menu, as the arrow keys reach them.
menu_rubles=1 menu_hryvnias=2 menu_statistics=9

label2() { client label2 | tr -d '\r'; }
set_memo1() { text in.txt "$1"; client set-memo1 in.txt; }
# Opens the context menu of the source box with a right click and picks item $1.
memo1_menu() { context_menu Memo1 "$1"; }

case "$scenario" in
status)
  start
  expect "status label at start" "$(label2)" "Символов: 0"
  set_memo1 'Привет, мир'
  client click btn_Velmar
  client wait-run
  # The result line "Privet, mir" with its line break.
  expect "status line after a run" "$(label2)" "Символов 13, слов 2, пробелов 1, Размер: 13 Байт"
  # Opening a file empties the result box; without automatic conversion no
  # run follows, and the status line must describe the empty box.
  focus_main
  click_control CheckBox1
  printf 'abc\r\n' > opened.txt
  click_control btn_Open
  file_dialog Open "$(winpath opened.txt)"
  expect "result box after opening" "$(memo 2)" ""
  expect "status line after opening" "$(label2)" "Символов 0, слов 0, пробелов 0, Размер: 0 Байт"
  # New empties it as well; the line follows a run's result through New.
  client click btn_Velmar
  client wait-run
  expect "status line of abc" "$(label2)" "Символов 5, слов 1, пробелов 0, Размер: 5 Байт"
  click_control btn_New
  expect "status line after New" "$(label2)" "Символов 0, слов 0, пробелов 0, Размер: 0 Байт"
  close_program
  ;;

statistics)
  start
  focus_main
  click_control CheckBox1  # no automatic runs in between
  set_memo1 'Привет, mir'
  client click btn_Velmar
  client wait-run

  # A click on the label that is not lit by the mouse starts nothing.
  client click-label2
  client no-statistics-run
  echo "ok: a click outside the hover look starts no run"

  # "Свойства" on a selection of the source box analyses only the selection.
  set_memo1 'Привет, World 2024\r\nвторая строка'
  client select-text Memo1 0 18
  memo1_menu $menu_statistics
  # As a screen reader reads it: every value named, the underscores between not read out.
  "$run" "$bin/access_probe.exe" statistics | tr -d '\r' > access.txt
  if grep '^nameless:' access.txt; then fail "controls without a name in the statistics window: $(cat access.txt)"; fi
  grep -q '^control 200 Static .* role=separator state=[0-9a-f]* name=$' access.txt ||
    fail "the underscores are read out: $(cat access.txt)"
  echo "ok: the statistics window reads its rows without the underscores"
  client stat-window > stat.txt
  expect "statistics of the selection" "$(tr -d '\r' < stat.txt)" "$(printf '%s\n' \
    'Слов: 3' 'Символов (без пробелов): 18' 'Символов (с пробелами): 20' 'Пробелов: 2' 'Строк: 1' \
    'Цифры: 4' 'Кирилица: 5' 'Латиница: 4' 'Размер: 20 Байт' 'main.enabled=0')"

  # After the run the result box is the active one: a click on the lit label
  # analyses "Privet, mir" of the result box, not the source box.
  set -- $(client rect Label2 | tr -d '\r')
  xdotool mousemove $(($1 + 20)) $(($2 + $4 / 2))
  sleep 0.5
  xdotool click 1
  client stat-window > stat.txt
  expect "statistics of the result box" "$(tr -d '\r' < stat.txt)" "$(printf '%s\n' \
    'Слов: 2' 'Символов (без пробелов): 12' 'Символов (с пробелами): 13' 'Пробелов: 1' 'Строк: 1' \
    'Цифры: 0' 'Кирилица: 0' 'Латиница: 8' 'Размер: 13 Байт' 'main.enabled=0')"
  expect "status line after the statistics" "$(label2)" "Символов 13, слов 2, пробелов 1, Размер: 13 Байт"

  # Once the mouse has left the lit label, a click does nothing; back over
  # it, the same click starts a run.
  xdotool mousemove $(($1 + 30)) $(($2 + $4 / 2))
  sleep 0.5
  xdotool mousemove $(($1 + 30)) $(($2 - 100))
  sleep 0.5
  client click-label2
  client no-statistics-run
  echo "ok: after the mouse has left, the label is no lit link"
  xdotool mousemove $(($1 + 30)) $(($2 + $4 / 2))
  sleep 0.5
  client click-label2
  client stat-window > /dev/null
  echo "ok: a click on the lit label starts a run"
  close_program
  ;;

amount)
  start
  focus_main
  click_control CheckBox1
  # The digits of the selection become the amount; the text around it stays.
  set_memo1 'Итого: 1250 руб.'
  client select-text Memo1 7 11
  memo1_menu $menu_rubles
  expect "rubles replacing the selection" "$(memo 1)" "Итого: одна тысяча двести пятьдесят рублей 00 копеек руб."

  set_memo1 '21'
  client select-text Memo1 0 -1
  memo1_menu $menu_hryvnias
  expect "hryvnias replacing the selection" "$(memo 1)" "двадцать одна гривна 00 копеек"

  # 21 digits: the message, and the text stays as it was.
  set_memo1 '123456789012345678901'
  client select-text Memo1 0 -1
  memo1_menu $menu_rubles
  expect "message for 21 digits" "$(client message-box | tr -d '\r')" "Слишком длинное число (макс. длина 20 символов)."
  expect "source box after 21 digits" "$(memo 1)" "123456789012345678901"

  # Without a selection nothing changes.
  set_memo1 '1250'
  client select-text Memo1 2 2
  memo1_menu $menu_rubles
  sleep 0.5
  expect "source box without a selection" "$(memo 1)" "1250"
  close_program
  ;;

*)
  fail "unknown scenario"
  ;;
esac
echo "PASS [$scenario]"
