#!/bin/sh
# Whole-process timing and peak memory of `velmar convert` on a large text.
# usage: bench/cli_timing.sh [MEGABYTES]   (default 1024; needs /usr/bin/time)
set -e
mb=${1:-1024}
here=$(cd "$(dirname "$0")/.." && pwd)
velmar=$here/build/native/bin/velmar
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One megabyte of Russian lines, repeated.
line='Съешь же ещё этих мягких французских булок, да выпей чаю. Щука ест ершей!'
i=0
: > "$work/1mb.txt"
while [ "$(stat -c %s "$work/1mb.txt")" -lt 1048576 ]; do
  printf '%s %d\r\n' "$line" $i >> "$work/1mb.txt"
  i=$((i + 1))
done
i=0
: > "$work/big.txt"
while [ $i -lt "$mb" ]; do cat "$work/1mb.txt"; i=$((i + 1)); done >> "$work/big.txt"
size=$(stat -c %s "$work/big.txt")

run() {
  label=$1
  shift
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" < "$work/big.txt" > /dev/null
  read -r secs rss < "$work/time"
  echo "$label: $size bytes in $secs s, peak RSS $((rss / 1024)) MB"
}
run "velmar convert (utf-8)" "$velmar" convert
run "velmar convert (cp1251 bytes)" "$velmar" convert --encoding cp1251
run "velmar convert --compress" "$velmar" convert --compress
run "cat (reading and writing alone)" cat
