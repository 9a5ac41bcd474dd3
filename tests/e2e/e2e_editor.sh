#!/bin/sh
# End-to-end scenario of the table editor: e2e_editor.sh editor BINDIR.
# One start of the program: a table made in the editor and saved into the
# table folder shows in the list and converts; a table opened from the list,
# changed and saved when the editor closes, converts with the change.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"

# The editor's client; several commands separated by ";" run in one start.
# Its output goes to out.txt, and field NAME [N] reads the Nth line "NAME=...".
eclient() { "$run" "$bin/editor_e2e_client.exe" "$@" | tr -d '\r' > out.txt; }
field() { sed -n "s/^$1=//p" out.txt | sed -n "${2:-1}p"; }
# The text of a file written in Windows-1251, as UTF-8 with LF line ends.
cp1251_file() { iconv -f CP1251 -t UTF-8 "$1" | tr -d '\r'; }

case "$scenario" in
editor)
  mkdir -p "$app/Table"
  printf '[Information]\r\nFrom=Тест\r\nTo=Латиница\r\nDescription=Проба\r\nFromIcon=189\r\n[Table]\r\nЖ=Zh\r\nШ=Sh\r\nЩ=Shch\r\n' |
    iconv -f UTF-8 -t CP1251 > "$app/Table/test.table"
  start

  # A new table: the defaults, the parameters dialog, five pairs and a sample line;
  # Cancel and the close box of the dialog are tested in process (tests/editor).
  eclient open-editor \; info \; params 'Мой' 'Латиница' 'Из редактора' 20 247 ok \
    \; info \; set edit1 'Щ' \; set edit2 Shch \; press add \; set edit1 'Й' \; set edit2 J \; press add \
    \; set edit1 '_Я' \; set edit2 _Ja \; press add \; set edit1 Ts \; set edit2 x \; press add \
    \; set edit1 TS \; set edit2 y \; press add \; set sample 'Щука йод Я ts' \; info \
    \; press save \; answer 7
  expect "caption of a new table" "$(field caption)" "Редактор таблиц"
  expect "pairs of a new table" "$(field pairs)" 0
  expect "main window while the editor is open" "$(field main.enabled)" 0
  expect "edit boxes of a new table" "$(field edits.enabled)" 1
  expect "client area" "$(field client)" 568x379
  defaults="Украинский|Английский|Новая таблица транскрипции|244|247|261"
  expect "dialog of a new table" "$(field params)" "$defaults"
  expect "caption after the dialog" "$(field caption 2)" "Редактор таблиц"
  expect "pairs added" "$(field pairs 3)" 5
  expect "selection after adding" "$(field sel 3)" -1
  expect "sample line" "$(field result 3)" "Shchука jод Ja y"
  # "Ts" and "TS" would become one key: the question's "No" goes back.
  if grep -q 'строки 4 «Ts», 5 «TS»' out.txt && grep -q 'Сохранить всё равно?' out.txt; then
    echo "ok: the merge is named"
  else
    fail "no merge question: $(cat out.txt)"
  fi
  eclient select 4 \; press delete \; info
  expect "pairs after the delete" "$(field pairs)" 4
  expect "selection after deleting the last row" "$(field sel)" 3
  expect "sample after the delete" "$(field result)" "Shchука jод Ja x"
  eclient press save
  file_dialog "Save As" "$(winpath app/Table/mine)"
  # The editor answers once the save is done; the list is reloaded when it closes.
  eclient info \; close-editor \; wait-gone \; rows \; convert-row 2 'Щука йод Я'
  expect "caption after the save" "$(field caption)" "Редактор таблиц"
  expect "file written" "$(cp1251_file "$app/Table/mine.table")" "$(printf '%s\n' '[Information]' 'From=Мой' \
    'To=Латиница' 'Description=Из редактора' 'FromIcon=20' 'ToIcon=247' '[Table]' 'Щ=Shch' 'Й=J' '_Я=_Ja' 'Ts=x')"
  expect "rows after the save" "$(field rows)" 6
  expect "the new table in the list" "$(field row2)" "Мой - Латиница"
  expect "conversion with the new table" "$(field converted)" "Shchука jод Ja"

  # The fixture table from the list: changed, and saved when the editor closes.
  expect "row of the fixture table" "$(field row4)" "Тест - Латиница"
  # A right click on its row: "Редактировать таблицу".
  focus_main
  eclient main-row-point 4
  xdotool mousemove $(field point) click 3
  pick_menu_item 1
  eclient info
  expect "caption of a loaded table" "$(field caption)" "Редактор таблиц - test.table [Тест : Латиница]"
  expect "pairs loaded" "$(field pairs)" 3
  # Real keys: a click selects a row and gives the list the focus; Del deletes
  # the pair, Alt+Down moves it down.
  focus_window "$(window_named 'Редактор таблиц - test.table .*')" || fail "the editor does not take the focus"
  eclient row-point 2
  xdotool mousemove $(field point) click 1
  xdotool key Delete
  eclient wait-pairs 2 \; row-point 0
  xdotool mousemove $(field point) click 1
  eclient wait-sel 0 \; info
  expect "source of the clicked pair" "$(field edit1)" "Ж"
  expect "target of the clicked pair" "$(field edit2)" "Zh"
  xdotool key alt+Down
  eclient wait-sel 1 \; set edit2 Zhh \; info
  expect "source after the move" "$(field edit1)" "Ж"
  # F1: the guide to the table format beside the program opens with the
  # program for text files (the test prefix has none until told).
  cp "$bin/TableFormat.txt" "$app/"
  "$run" reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null
  xdotool key F1
  guide=$(window_named 'TableFormat.* - Notepad') || fail "F1 opened no guide to the table format"
  "$run" taskkill /f /im notepad.exe >/dev/null 2>&1 || true
  i=0
  while xdotool search --onlyvisible --name 'TableFormat' >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -le 50 ] || fail "the guide did not close"
    sleep 0.2
  done
  echo "ok: F1 opened the guide to the table format"
  focus_window "$(window_named 'Редактор таблиц - test.table .*')" || fail "the editor does not take the focus back"
  eclient row-point 1
  xdotool mousemove $(field point) click 1
  eclient wait-sel 1
  # Esc: no pair selected, so the texts typed next make a new pair.
  xdotool key Escape
  eclient wait-sel -1 \; set edit1 'Щ' \; set edit2 Sch \; press add \; info
  expect "pairs after Esc and add" "$(field pairs)" 3
  eclient close-editor \; answer 6
  expect "question on closing" "$(field message)" "Таблица изменена. Сохранить изменения?"
  file_dialog "Save As" "$(winpath app/Table/test.table)"
  eclient wait-gone \; rows \; convert-row 4 'Жук Щ'
  expect "file rewritten" "$(cp1251_file "$app/Table/test.table")" "$(printf '%s\n' '[Information]' 'From=Тест' \
    'To=Латиница' 'Description=Проба' 'FromIcon=189' 'ToIcon=247' '[Table]' 'Ш=Sh' 'Ж=Zhh' 'Щ=Sch')"
  expect "rows after the second save" "$(field rows)" 6
  expect "conversion with the changed table" "$(field converted)" "Zhhук Sch"
  close_program
  ;;
unicode)
  # A Unicode table (UTF-8 with its byte order mark) is opened, changed and
  # written back in UTF-8; a Windows-1251 table that gets a Serbian letter is
  # saved in UTF-8 too, with a word why, instead of losing the letter.
  mkdir -p "$app/Table"
  cp "$here/../../tables/serbian-latin.table" "$app/Table/sr.table"
  printf '[Information]\r\nFrom=Тест\r\nTo=Латиница\r\n[Table]\r\nЖ=Zh\r\n' |
    iconv -f UTF-8 -t CP1251 > "$app/Table/test.table"
  start
  eclient edit-row 2 \; select 5 \; info
  expect "caption of the Serbian table" "$(field caption)" "Редактор таблиц - sr.table [Српски (ћирилица) : Srpski (latinica)]"
  expect "a Serbian pair" "$(field edit1)|$(field edit2)" "Ђ|Đ"
  eclient set edit2 'Dj' \; set sample 'Ђорђе Љубав' \; info
  expect "sample with the change" "$(field result)" "Djordje Ljubav"
  eclient close-editor \; answer 6
  file_dialog "Save As" "$(winpath app/Table/sr.table)"
  eclient wait-gone \; rows \; convert-row 2 'Ђорђе Шабац'
  expect "still UTF-8 with its mark" "$(head -c 3 "$app/Table/sr.table" | od -An -tx1 | tr -d ' ')" "efbbbf"
  grep -q "^Ђ=Dj" "$app/Table/sr.table" || fail "the changed pair is not in the file"
  grep -q "^Ћ=Ć" "$app/Table/sr.table" || fail "a Serbian pair was lost"
  expect "conversion with the changed table" "$(field converted)" "Djordje Šabac"

  eclient edit-row 4 \; set edit1 'Ћ' \; set edit2 'Ć' \; press add \; close-editor \; answer 6
  file_dialog "Save As" "$(winpath app/Table/test.table)"
  eclient answer 1
  expect "why the file became UTF-8" "$(field message)" \
    "В таблице есть символы, которых нет в кодировке Windows-1251, поэтому она сохранена в кодировке UTF-8 (Юникод)."
  eclient wait-gone \; rows \; convert-row 4 'Жук Ћ'
  expect "a Windows-1251 table saved in UTF-8" "$(head -c 3 "$app/Table/test.table" | od -An -tx1 | tr -d ' ')" "efbbbf"
  expect "conversion with the new pair" "$(field converted)" "Zhук Ć"
  close_program
  ;;
dblclick)
  # A double click on a table row opens the editor even when the first
  # click's run takes a while: that run waits for the time of a double click
  # (it would disable the list and swallow the second click).
  mkdir -p "$app/Table"
  printf '[Information]\r\nFrom=Тест\r\nTo=Латиница\r\n[Table]\r\nЖ=Zh\r\nЩ=Shch\r\n' |
    iconv -f UTF-8 -t CP1251 > "$app/Table/test.table"
  start
  for i in $(seq 40000); do printf 'Щука и жук\r\n'; done > long.txt
  client set-memo1 long.txt
  client wait-run
  sleep 1.5
  client wait-run
  set -- $(client rect ListBox1 | tr -d '\r')
  xdotool search --sync --name '^VelmarPro$' windowfocus --sync >/dev/null
  # Row 2 (the file's table), 30 pixels a row.
  xdotool mousemove --sync $(($1 + 40)) $(($2 + 75)) click --repeat 2 --delay 60 1
  i=0
  until xdotool search --name '^Редактор таблиц' >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -le 100 ] || fail "no editor after a double click on a row during a long text"
    sleep 0.2
  done
  echo "ok: the double click opened the editor"
  expect "the run of the click waits while the editor is open" "$(value list.sel)" 2
  xdotool search --name '^Редактор таблиц' windowfocus --sync key alt+F4
  i=0
  while xdotool search --name '^Редактор таблиц' >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -le 100 ] || fail "the editor did not close"
    sleep 0.2
  done
  # Then the run of the click converts with the row's table.
  client wait-run 120000
  client get-memo2 out.txt
  expect "first line with the chosen table" "$(head -n 1 out.txt | tr -d '\r')" "Shchука и zhук"
  close_program
  ;;

contexts)
  # A table with letter sets and context pairs: its context pairs are rows
  # "source@conditions", the test line shows them and capitals working, and
  # opened and saved it comes back byte for byte.
  mkdir -p "$app/Table"
  printf '\357\273\277[Information]\r\nFrom=Русский\r\nTo=Latin\r\nDescription=GOST\r\nFromIcon=189\r\nToIcon=247\r\n[Table]\r\nЦ=Cz\r\nЕ=E\r\nН=N\r\nТ=T\r\nР=R\r\nЛ=L\r\nИ=I\r\nО=O\r\n[Sets]\r\nsoft=еиый\r\n[Context]\r\nЦ@before:soft=C\r\n[First]\r\nx=y\r\n' > ctx.table
  cp ctx.table "$app/Table/ctx.table"
  start
  eclient edit-row 2 \; select 8 \; set sample 'ЦЕНТР лицо' \; info
  expect "context pair as a row" "$(field pairs)|$(field edit1)|$(field edit2)" "9|Ц@before:soft|C"
  expect "test line with contexts and capitals" "$(field result)" "CENTR liczo"
  eclient press save
  file_dialog "Save As" "$(winpath app/Table/ctx.table)"
  cmp -s ctx.table "$app/Table/ctx.table" || fail "the table did not come back byte for byte: $(od -c "$app/Table/ctx.table" | head -20)"
  echo "ok: opened and saved, the table is byte for byte the same"
  eclient close-editor \; wait-gone \; convert-row 2 'ЦЕНТР лицо'
  expect "the main window with the saved table" "$(field converted)" "CENTR liczo"
  close_program
  ;;
faults)
  # The table editor's faults, one start: a read-only table is not replaced,
  # pairs that would not read back are refused, a reload after a save keeps
  # the chosen table, and the program's end asks about unsaved changes.
  mkdir -p "$app/Table"
  printf '[Information]\r\nFrom=Тест\r\nTo=Латиница\r\n[Table]\r\nЖ=Zh\r\n' | iconv -f UTF-8 -t CP1251 > "$app/Table/test.table"
  printf '[Information]\r\nFrom=Замок\r\nTo=Латиница\r\n[Table]\r\nЖ=Zh\r\n' | iconv -f UTF-8 -t CP1251 > "$app/Table/locked.table"
  chmod a-w "$app/Table/locked.table"
  locked_before=$(od -An -tx1 "$app/Table/locked.table")
  start

  # Read-only: the save ends with the reason and the file stays as it was.
  eclient edit-row 2 \; info \; set edit1 'Ш' \; set edit2 Sh \; press add \; press save
  expect "caption of the read-only table" "$(field caption)" "Редактор таблиц - locked.table [Замок : Латиница]"
  file_dialog "Save As" "$(winpath app/Table/locked.table)"
  eclient answer 1
  expect "read-only refusal" "$(field message)" \
    "Unable to write to $(winpath app/Table/locked.table)"
  grep -q "Файл доступен только для чтения. Таблица не сохранена, файл остался прежним." out.txt ||
    fail "no reason for the refused save: $(cat out.txt)"
  expect "read-only file unchanged" "$(od -An -tx1 "$app/Table/locked.table")" "$locked_before"
  expect "the read-only mark kept" "$(stat -c %A "$app/Table/locked.table")" "-r--r--r--"
  eclient close-editor \; answer 7 \; wait-gone

  # Pairs that would not read back: refused, naming which and why; no file is written.
  eclient open-editor \; set edit1 'a=b' \; set edit2 x \; press add \; set edit1 '[q' \; set edit2 y \; press add \
    \; set edit1 c \; set edit2 z \; press add \; set edit1 d \; set edit2 "'w'" \; press add \; press save \; answer 1
  grep -q 'Таблица не сохранена' out.txt || fail "no refusal: $(cat out.txt)"
  grep -q 'строка 1 «a=b»' out.txt && grep -q 'строка 2 «\[q»: оригинал не может начинаться с «\[»' out.txt ||
    fail "the refusal does not name rows 1 and 2: $(cat out.txt)"
  grep -q 'строка 4' out.txt && fail "row 4 reads back and was named: $(cat out.txt)"
  xdotool search --name '^Save As$' >/dev/null 2>&1 && fail "a save dialog opened after the refusal"
  # The pair after "+": nothing selected, the boxes empty, the state in the status bar.
  eclient info
  expect "selection after adding" "$(field sel)" -1
  expect "boxes after adding" "$(field edit1)|$(field edit2)" "|"
  expect "edit state" "$(field status)" "Новая пара: введите оригинал и транскрипцию и нажмите «+»."
  eclient select 0 \; press delete \; select 0 \; press delete \; select 0 \; info
  expect "edit state with a pair selected" "$(field status)" "Правка пары 1 из 2: изменения сразу меняют её. Esc — новая пара."
  eclient press save
  file_dialog "Save As" "$(winpath app/Table/quoted)"
  expect "quoted target written so that it reads back" "$(cp1251_file "$app/Table/quoted.table" | tail -2)" \
    "$(printf '%s\n' 'c=z' "d=\"'w'\"")"

  # A table chosen in the list stays chosen after a save into the table folder reloads it.
  eclient close-editor \; wait-gone \; rows
  row=$(grep -n '^row[0-9]*=Тест - Латиница$' out.txt | sed 's/^[0-9]*:row//; s/=.*//')
  [ -n "$row" ] || fail "no row of the test table: $(cat out.txt)"
  reverse=$((row + 1))
  # A registered client, which the reload must not forget.
  vclient_bg --timeout 120000 --class VelmarTestListener wait-closed > listen.txt
  listener=$last_bg
  client wait-window VelmarTestListener || fail "the listener did not start"
  eclient convert-row "$reverse" 'Zh' \; edit-row "$reverse" \; set edit1 'Ч' \; set edit2 Ch \; press add \; press save
  file_dialog "Save As" "$(winpath app/Table/test.table)"
  eclient close-editor \; wait-gone \; main-sel \; convert-row "$reverse" 'xy'
  expect "the reverse of the saved table still chosen" "$(field mainsel)" "$reverse"

  # The end of the program asks the editor's question first; "Отмена" keeps both.
  eclient open-editor \; set edit1 'Щ' \; set edit2 Shch \; press add
  client close
  eclient answer 2 \; info
  expect "question before the exit" "$(field message)" "Таблица изменена. Сохранить изменения?"
  expect "editor after a cancelled exit" "$(field pairs)" 1
  eclient end-session 2
  expect "question before the end of the session" "$(field message)" "Таблица изменена. Сохранить изменения?"
  expect "the session end refused" "$(field endsession)" 0
  client close
  eclient answer 7
  wait_exit "$last"
  expect "exit code after the question" "$exit_status" 0
  wait_exit "$listener"
  grep -q '^api_velmar_result:xy' listen.txt && grep -q '^api_velmar_closed' listen.txt ||
    fail "the client's registration did not survive the reload: $(cat listen.txt)"
  ;;
*)
  fail "unknown scenario"
  ;;
esac
