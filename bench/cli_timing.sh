#!/bin/sh
# Whole-process timing and peak memory of `velmar convert` on a large text,
# on one long line and of `velmar stats` on bare line feeds.
# usage: bench/cli_timing.sh [MEGABYTES] [LINE_MEGABYTES]
#        (defaults 1024 and 200; needs /usr/bin/time)
#    or: bench/cli_timing.sh icu [MEGABYTES]
#        `velmar convert` with the built-in table against ICU's
#        `uconv -x Russian-Latin/BGN` on Russian fortunes (default 20 MB; needs
#        Debian's fortunes-ru, icu-devtools and hyperfine)
#    or: bench/cli_timing.sh growth [RESULT_MEGABYTES]
#        peak memory against the size of the result for one line that a
#        table doubles (default 128 MB of result), in both engines, by a pair
#        of two letters and by a one-letter map
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
velmar=$here/build/native/bin/velmar
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run() {
  label=$1
  input=$2
  shift 2
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" < "$input" > /dev/null
  read -r secs rss < "$work/time"
  echo "$label: $(stat -c %s "$input") bytes in $secs s, peak RSS $((rss / 1024)) MB"
}

if [ "${1:-}" = icu ]; then
  mb=${2:-20}
  fortunes=/usr/share/games/fortunes/ru
  command -v uconv > /dev/null || { echo "uconv missing (icu-devtools)"; exit 1; }
  command -v hyperfine > /dev/null || { echo "hyperfine missing (hyperfine)"; exit 1; }
  ls "$fortunes"/*.u8 > /dev/null 2>&1 || { echo "no fortunes in $fortunes (fortunes-ru)"; exit 1; }
  : > "$work/fortunes.txt"
  while [ "$(stat -c %s "$work/fortunes.txt")" -lt $((mb * 1048576)) ]; do
    cat "$fortunes"/*.u8 >> "$work/fortunes.txt"
  done
  echo "$(stat -c %s "$work/fortunes.txt") bytes of Russian fortunes, whole process, both in one run:"
  # hyperfine runs each several times (through the shell, the same small
  # cost for both) and reports the mean, which is what the ratio uses.
  hyperfine --warmup 2 --runs 10 --export-json "$work/times.json" \
    -n "velmar convert" "'$velmar' convert < '$work/fortunes.txt' > /dev/null" \
    -n "uconv -x Russian-Latin/BGN" "uconv -f utf-8 -t utf-8 -x Russian-Latin/BGN < '$work/fortunes.txt' > /dev/null"
  python3 - "$work/times.json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
print("uconv takes %.1f times as long as velmar convert" % (r[1]["mean"] / r[0]["mean"]))
PY
  exit 0
fi

if [ "${1:-}" = growth ]; then
  result_mb=${2:-128}
  python3 - "$work" "$result_mb" <<'PY'
import sys
work, mb = sys.argv[1], int(sys.argv[2])
half = (mb << 20) // 2
open(work + "/ab.txt", "wb").write(b"ab" * (half // 2))
open(work + "/a.txt", "wb").write(b"a" * half)
for name, bom, pair in (("pair", b"", b"ab=cdef"), ("upair", b"\xef\xbb\xbf", b"ab=cdef"),
                        ("map", b"", b"a=bb"), ("umap", b"\xef\xbb\xbf", b"a=bb")):
    open("%s/%s.table" % (work, name), "wb").write(bom + b"[Table]\r\n" + pair + b"\r\n")
PY
  growth() {
    label=$1 table=$2 input=$3
    shift 3
    /usr/bin/time -f "%e %M" -o "$work/time" "$velmar" convert --table "$work/$table" "$@" \
      < "$work/$input" | wc -c > "$work/size"
    read -r secs rss < "$work/time"
    size=$(cat "$work/size")
    echo "$label: $size bytes of result in $secs s, peak RSS $((rss / 1024)) MB," \
      "$(python3 -c "print('%.2f' % ($rss * 1024 / $size))") times the result"
  }
  growth "Windows-1251 engine, pair ab=cdef" pair.table ab.txt --encoding cp1251
  growth "Unicode engine, pair ab=cdef" upair.table ab.txt
  growth "Windows-1251 engine, map a=bb" map.table a.txt --encoding cp1251
  growth "Unicode engine, map a=bb" umap.table a.txt
  exit 0
fi

mb=${1:-1024}
line_mb=${2:-200}

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

head -c $((line_mb * 1048576)) "$work/big.txt" | tr -d '\r\n' > "$work/line.txt"
head -c $((mb * 1048576)) /dev/zero | tr '\0' '\n' > "$work/feeds.txt"

run "velmar convert (utf-8)" "$work/big.txt" "$velmar" convert
run "velmar convert (cp1251 bytes)" "$work/big.txt" "$velmar" convert --encoding cp1251
run "velmar convert --compress" "$work/big.txt" "$velmar" convert --compress
run "velmar convert, one line" "$work/line.txt" "$velmar" convert
run "velmar stats, line feeds only" "$work/feeds.txt" "$velmar" stats
run "cat (reading and writing alone)" "$work/big.txt" cat
