#!/bin/sh
# End-to-end scenario of the standard tables the build ships in its Table
# folder: e2e_tables.sh SCENARIO BINDIR. A program folder with that Table
# folder lists every table with its reverse, and a protocol client has a
# name in capitals converted with each of them by the running program.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"
export LC_ALL=C.UTF-8
tables="$here/../../tables"
replies() { tr -d '\r'; }

# The caption of a table file, From and To of its [Information], in UTF-8.
caption() {
  if [ "$(head -c 3 "$1" | od -An -tx1 | tr -d ' ')" = efbbbf ]; then cat "$1"; else iconv -f cp1251 -t utf-8 "$1"; fi |
    tr -d '\r' | sed -n 's/^From=//p; s/^To=//p' | head -2 | paste -sd'|' | sed 's/|/ - /'
}

case "$scenario" in
standard)
  mkdir -p "$app/Table"
  cp "$bin/Table/"*.table "$app/Table/"
  for table in "$tables"/*.table; do
    cmp -s "$table" "$app/Table/${table##*/}" || fail "the build's Table folder lacks ${table##*/}"
  done
  start
  vclient --utf8 modules | replies > list.txt
  for table in "$tables"/*.table; do
    name=${table##*/}
    name=${name%.table}
    want=$(caption "$table")
    line=$(grep -nF "api_velmar_modulelist:$want [" list.txt || grep -nF "$want [" list.txt) ||
      fail "$name is not listed as '$want' in '$(cat list.txt)'"
    index=$(( ${line%%:*} - 1 ))
    # The first sample of the table written in capitals: no small Cyrillic letter.
    sample=$(grep '^>' "$tables/$name.samples" | cut -f2,3 |
      grep -v '[абвгдеёжзийклмнопрстуфхцчшщъыьэюяіїєґўәғқңөұүһђјљњћџѣѳѵ]' | head -1)
    [ -n "$sample" ] || fail "$name has no sample in capitals"
    text=${sample%%"$(printf '\t')"*}
    result=${sample#*"$(printf '\t')"}
    vclient --utf8 select "$index" go "$text" | replies > got.txt
    expect "$name: $text" "$(cat got.txt)" "api_velmar_result:$result"
  done
  close_program
  ;;

*)
  fail "unknown scenario"
  ;;
esac
echo "PASS [$scenario]"
