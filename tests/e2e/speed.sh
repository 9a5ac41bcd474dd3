#!/bin/sh
# Times a conversion of a 50,000-line text through the window (the client sets
# Memo1, presses btn_Velmar, waits for the run and reads Memo2) against the
# command-line converter on the same text, under Wine and natively.
# Usage: speed.sh WINDOWS-BINDIR [NATIVE-BINDIR]; needs an X display.
set -eu
bin=$(cd "$1" && pwd)
native=${2:+$(cd "$2" && pwd)}
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../wine-run.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-speed.XXXXXX")
pid=""
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  [ -z "$pid" ] || wait "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
mkdir app
cp "$bin/VelmarPro.exe" app/

lines=${LINES_COUNT:-50000}
awk -v n="$lines" 'BEGIN { for (i = 1; i <= n; i++)
  printf "Строка %d: съешь же ещё этих мягких французских булок, да выпей чаю.\r\n", i }' > text.txt
echo "text: $lines lines, $(wc -c < text.txt) bytes UTF-8"

now_ms() { date +%s%3N; }
client() { "$run" "$bin/velmar_e2e_client.exe" "$@"; }

"$run" "$work/app/VelmarPro.exe" >/dev/null 2>&1 &
pid=$!
client wait 30000
for i in 1 2 3; do
  t0=$(now_ms)
  detail=$(client convert text.txt window.txt 300000 | tr -d '\r')
  t1=$(now_ms)
  echo "window run $i: $detail (with client start: $((t1 - t0)) ms)"
done
client close
wait "$pid" || true
pid=""

# The same text through the command-line converter (CR LF out, like the window).
for i in 1 2 3; do
  t0=$(now_ms)
  "$run" "$bin/velmar.exe" convert --eol crlf --output cli-wine.txt text.txt
  t1=$(now_ms)
  echo "velmar.exe under Wine $i: $((t1 - t0)) ms (whole process)"
done
cmp window.txt cli-wine.txt && echo "window and CLI results are identical"
if [ -n "$native" ]; then
  for i in 1 2 3; do
    t0=$(now_ms)
    "$native/velmar" convert --eol crlf --output cli-native.txt text.txt
    t1=$(now_ms)
    echo "native velmar $i: $((t1 - t0)) ms (whole process)"
  done
  cmp window.txt cli-native.txt && echo "native CLI result identical too"
fi
