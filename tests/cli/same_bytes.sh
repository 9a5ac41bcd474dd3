#!/bin/sh
# The Linux and the Windows velmar must give the same bytes for the same input.
# usage: same_bytes.sh NATIVE_VELMAR WINDOWS_VELMAR_EXE
set -e
native=$1
windows=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A sample with Cyrillic, characters outside Windows-1251, every kind of line
# break and a table of our own with word-initial pairs.
printf 'Щука ест ёжика\r\nЖили-были дед и баба\rЁлка — Ω ☺ 😀\n\nЭх, Юля! Ещё «щи»?\n' > "$work/in.txt"
i=0
while [ $i -lt 200 ]; do
  printf 'Съешь же ещё этих мягких французских булок, да выпей чаю. %d\r\n' $i >> "$work/in.txt"
  i=$((i + 1))
done
mkdir "$work/Table"
printf '[Information]\r\nFrom=Русский\r\nTo=Latin\r\n[Table]\r\n_е=_ye\r\nщ=shch\r\nья=ia\r\n' |
  iconv -f utf-8 -t cp1251 > "$work/Table/ru.table"

fail=0
compare() {
  "$native" "$@" > "$work/native.out" 2>&1 || echo "status $?" >> "$work/native.out"
  "$here/../wine-run.sh" "$windows" "$@" > "$work/windows.out" 2>&1 || echo "status $?" >> "$work/windows.out"
  if cmp -s "$work/native.out" "$work/windows.out"; then
    echo "same: $*"
  else
    echo "DIFFERENT: $*"
    fail=1
  fi
}
cd "$work"
compare convert in.txt
compare convert --table 1 --eol lf in.txt
compare convert --tables-dir Table --table 2 --underscore in.txt
compare convert --tables-dir Table --table 3 --compress in.txt
compare convert --table Table/ru.table --reverse --hyphen in.txt
compare convert --encoding cp1251 Table/ru.table
# The last field of `tables` is a path, written the platform's way.
"$native" tables --tables-dir Table | cut -f1-6 > "$work/native.out"
"$here/../wine-run.sh" "$windows" tables --tables-dir Table | cut -f1-6 > "$work/windows.out"
cmp -s "$work/native.out" "$work/windows.out" && echo "same: tables" || { echo "DIFFERENT: tables"; fail=1; }
exit $fail
