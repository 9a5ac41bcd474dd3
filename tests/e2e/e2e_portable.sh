#!/bin/sh
# The portable zip as a new user meets it: e2e_portable.sh zip BINDIR.
# Unpacked into a fresh folder (a name with a blank and Cyrillic letters, as
# "Мои программы" is), the program starts under Wine, converts with its
# shipped tables and writes its settings file beside itself.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"

case "$scenario" in
zip)
  zip="$(dirname "$bin")/installer/VelmarPro-portable.zip"
  [ -f "$zip" ] || fail "no portable zip at $zip (cmake --build --preset windows builds it)"
  folder="$work/Мои программы"
  mkdir -p "$folder"
  (cd "$folder" && cmake -E tar xf "$zip") || fail "the zip does not unpack"
  app="$folder/VelmarPro"

  # What the zip holds: the program, the read-me, the table format guide and
  # the shipped tables, nothing else.
  expected=$( (echo VelmarPro.exe; echo ReadMe.txt; echo TableFormat.txt; for t in "$here"/../../tables/*.table; do echo "Table/${t##*/}"; done) | sort)
  actual=$(cd "$app" && find . -type f | sed 's|^\./||' | sort)
  expect "files in the zip" "$actual" "$expected"
  cmp -s "$app/VelmarPro.exe" "$bin/VelmarPro.exe" || fail "the zip's program is not this build's"
  grep -q "переносная версия" "$app/ReadMe.txt" && grep -q "portable edition" "$app/ReadMe.txt" ||
    fail "the read-me lacks its Russian or English part"
  printf '\r\n' >crlf.txt
  grep -q "$(cat crlf.txt)" "$app/ReadMe.txt" || fail "the read-me has no CR LF line ends"
  echo "ok: the read-me in Russian and English, CR LF"

  start
  tables=$(ls "$app/Table" | wc -l)
  expect "table rows" "$(value list.count)" $((2 + 2 * tables))
  text in.txt 'Щука ест\r\n'
  text expected.txt 'Schuka est\r\n'
  client convert in.txt out.txt >/dev/null
  cmp -s out.txt expected.txt || fail "conversion in the unpacked folder: Memo2 holds '$(cat out.txt)'"
  echo "ok: converts from the unpacked folder"
  [ ! -e "$app/VelmarPro.dat" ] || fail "settings written before the first close"
  close_program
  [ -f "$app/VelmarPro.dat" ] || fail "no VelmarPro.dat beside the program after the close"
  settings=$(tr -d '\r' <"$app/VelmarPro.dat" | tr '\n' ' ')
  expect "settings beside the program" "$settings" "[Velmar] Module=0 AutoTrans=1 "
  ;;
*)
  fail "unknown scenario"
  ;;
esac
