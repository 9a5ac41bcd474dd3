#!/bin/sh
# End-to-end scenarios of the WM_COPYDATA command protocol, driven by
# velmar-client: e2e_protocol.sh SCENARIO BINDIR.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"

memo1() { client get-memo1 memo1.txt; cat memo1.txt; }
# What velmar-client printed, without the CRs Wine's console may add to its line ends.
replies() { tr -d '\r'; }

case "$scenario" in
commands)
  start
  # The table list, every line ending with CR LF, then the selected index.
  vclient modules > got.txt
  text expected.txt 'api_velmar_modulelist:Русский - Английский [BGN/PCGN (1965)]\r\nАнглийский - Русский [BGN/PCGN (1965)]\r\n\napi_velmar_activemodule:0\n'
  cmp -s got.txt expected.txt || fail "modules answered '$(cat got.txt)'"
  echo "ok: the table list and the selected table, in that order"

  # Selecting a table starts no run; the next run uses it.
  vclient select 1 modules | replies > got.txt
  expect "selected after 'select 1'" "$(tail -1 got.txt)" "api_velmar_activemodule:1"
  expect "list selection" "$(value list.sel)" 1
  expect "information line shows the selected table" "$(value label3)" "Английский"
  expect "no run for a selection" "$(client label2 | tr -d '\r')" "Символов: 0"
  vclient go 'schuka zhuk' > got.txt
  text expected.txt 'api_velmar_result:щука жук\r\n\n'
  cmp -s got.txt expected.txt || fail "go with the second table answered '$(cat got.txt)'"
  echo "ok: the run uses the table selected by the protocol"
  # A word in capitals stays in capitals, read back too.
  vclient go 'SCHUKA CHAY' > got.txt
  text expected.txt 'api_velmar_result:ЩУКА ЧАЙ\r\n\n'
  cmp -s got.txt expected.txt || fail "go with words in capitals answered '$(cat got.txt)'"
  echo "ok: words in capitals through the protocol"

  # Indexes outside the list select nothing and change nothing.
  for index in 2 -1 2147483647; do
    vclient select "$index"
    expect "selection after 'select $index'" "$(value list.sel)" 1
  done
  # No integer: a message box names it, the client waits until it is closed.
  vclient_bg select abc
  msg=$(client message-box | tr -d '\r')
  expect "message for a bad index" "$msg" "'abc' is not a valid integer value"
  wait_exit "$last_bg"
  expect "client returns after the box closed" "$exit_status" 0
  expect "selection after a bad index" "$(value list.sel)" 1

  # The text to convert goes into the source box; one result comes back, no
  # second one when the automatic conversion's second has passed.
  vclient select 0 go 'Привет мир' listen 2500 | replies > got.txt
  expect "result of go" "$(cat got.txt)" "api_velmar_result:Privet mir"
  client get-memo1 memo1.txt
  expect "source box after go" "$(cat memo1.txt)" "Привет мир"
  client get-memo2 memo2.txt
  expect "result box after go" "$(cat memo2.txt)" "$(printf 'Privet mir\r\n')"

  # The command words are tested in a fixed order: "show" comes first.
  vclient send 'api_velmar_go:show_velpro_window' listen 1500 | replies > got.txt
  expect "go holding the show command answers nothing" "$(cat got.txt)" ""
  client get-memo1 memo1.txt
  expect "source box after a show request" "$(cat memo1.txt)" "Привет мир"
  # A text of no command is ignored; a text of one character is not converted.
  vclient send hello listen 500 | replies > got.txt
  expect "answer to no command" "$(cat got.txt)" ""
  vclient --timeout 2000 go 'Щ' > got.txt && fail "a one-character text was converted"
  expect "answer to a one-character go" "$(replies < got.txt)" ""
  # The text ends where the message's data ends, even without a NUL byte.
  vclient send-cut 20 'api_velmar_go:абвгдежзик' | replies > got.txt
  client wait-run
  client get-memo1 memo1.txt
  expect "source box after a message cut short" "$(cat memo1.txt)" "абвгде"
  close_program
  ;;

register)
  start
  # Without registration nothing reaches the client, not even the table list.
  vclient --no-register --timeout 2000 modules > got.txt && fail "an unregistered client got answers"
  expect "answers to an unregistered client" "$(replies < got.txt)" ""
  # A registered client gets the result of a run started any other way too,
  # and the closing notice.
  vclient_bg --timeout 60000 --class VelmarTestListener wait-closed > listen.txt
  listener=$last_bg
  client wait-window VelmarTestListener || fail "the listener did not start"
  text in.txt 'Щука\r\n'
  client set-memo1 in.txt
  client click btn_Velmar
  client wait-run
  sleep 0.5
  close_program
  wait_exit "$listener"
  text expected.txt 'api_velmar_result:Schuka\r\n\napi_velmar_closed\n'
  cmp -s listen.txt expected.txt || fail "the listener heard '$(cat listen.txt)'"
  echo "ok: result of a button run and the closing notice reach the registered client"

  # An empty class name ends the registration.
  start
  vclient_bg listen 5000 > listen.txt
  listener=$last_bg
  client wait-window VelmarClient_ || fail "the listener did not start"
  vclient --no-register send 'api_velmar_register:'
  client set-memo1 in.txt
  client click btn_Velmar
  client wait-run
  close_program
  wait_exit "$listener"
  expect "heard after the registration ended" "$(cat listen.txt)" ""

  # The program's own window is no client: a result that holds a command does
  # not come back to it as one.
  start
  vclient --no-register send 'api_velmar_register:TVelmarPro_Api'
  vclient --no-register send 'api_velmar_go:api_velmar_go:abc'
  client wait-run
  sleep 1.5
  client wait-run
  expect "source box after a result sent to itself" "$(memo1)" "api_velmar_go:abc"

  # A client that answers no messages holds the program up for a few seconds
  # at most, not for as long as it hangs. Sent messages are answered while the
  # program waits for it; the posted request to close shows when it is free.
  vclient_bg --class VelmarHungClient listen 500 sleep 40000
  client wait-window VelmarHungClient || fail "the hung client did not start"
  client click btn_Velmar
  client wait-run 20000
  begin=$(date +%s)
  close_program
  took=$(($(date +%s) - begin))
  [ "$took" -le 15 ] || fail "a hung client held the program up for $took s"
  echo "ok: a hung client held the program up for $took s"
  ;;

robust)
  start
  # Messages without data carry no command and are not read.
  client copydata-empty
  expect "program after messages without data" "$(value list.count)" 2
  # A flood of bad commands shows one error box at a time; the errors that
  # came while it was open do not show later.
  expect "error boxes after a flood" "$(client flood 6 | tr -d '\r')" "boxes=1"
  client message-box >/dev/null
  client no-message-box 1500
  # A message too large for Wine to hand over does not end the program.
  client copydata-big 3
  client wait 10000 || fail "the program ended after a very large message"
  expect "result after the large message" "$(vclient go 'Щука' | replies)" "api_velmar_result:Schuka"
  close_program
  [ -f "$app/VelmarPro.dat" ] || fail "no settings written at the close"
  ;;

closed)
  start
  vclient_bg --timeout 60000 wait-closed
  listener=$last_bg
  client wait-window VelmarClient_ || fail "the client did not start"
  close_program
  wait_exit "$listener"
  expect "the client heard the closing notice" "$exit_status" 0
  ;;

utf8)
  # A client registered for UTF-8 sends and gets every character; an 8-bit
  # client gets "?" for what Windows-1251 cannot carry.
  mkdir -p "$app/Table"
  cp "$here/../../tables/serbian-latin.table" "$app/Table/sr.table"
  start
  vclient --utf8 modules | replies > got.txt
  grep -qx 'api_velmar_modulelist:Русский - Английский \[BGN/PCGN (1965)\]' got.txt ||
    fail "no built-in table in UTF-8 in '$(cat got.txt)'"
  line=$(grep -nx 'Српски (ћирилица) - Srpski (latinica) \[Ćirilica → latinica\]' got.txt | cut -d: -f1)
  [ -n "$line" ] || fail "no Serbian table in UTF-8 in '$(cat got.txt)'"
  index=$((line - 1))
  vclient modules | replies > got.txt
  grep -qx 'Српски (ћирилица) - Srpski (latinica) \[?irilica ? latinica\]' got.txt ||
    fail "the 8-bit list holds '$(cat got.txt)'"
  echo "ok: the table list in UTF-8, and with '?' in Windows-1251"

  # Text to convert with a letter Windows-1251 has not: it reaches the source box whole.
  vclient --utf8 select "$index" go 'Ђорђе Љубав Đ' | replies > got.txt
  expect "UTF-8 result" "$(cat got.txt)" "api_velmar_result:Đorđe Ljubav Đ"
  expect "source box after a UTF-8 go" "$(memo1)" "Ђорђе Љубав Đ"
  vclient go 'Ђорђе Љубав' | replies > got.txt
  expect "Windows-1251 result" "$(cat got.txt)" "api_velmar_result:?or?e Ljubav"
  close_program
  ;;

*)
  fail "unknown scenario"
  ;;
esac
echo "PASS [$scenario]"
