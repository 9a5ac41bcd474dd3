# Shared part of the end-to-end scenario scripts SCRIPT SCENARIO BINDIR:
# sourced after `scenario` is set, it reads BINDIR from $2. Sets up a fresh program folder
# under a fresh working folder (the current folder from then on) and ends
# every process started through `start` or `background` when the script exits.
if [ -z "${DISPLAY:-}" ]; then
  echo "skipped: no X display (run the Windows tests inside xvfb-run)"
  exit 77
fi
bin=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../wine-run.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-e2e.XXXXXX")
app="$work/app"
mkdir -p "$app"
cp "$bin/VelmarPro.exe" "$app/"
cd "$work"
pids=""

cleanup() {
  status=$?
  for pid in $pids; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in $pids; do
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
  exit $status
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAIL [$scenario]: $*" >&2
  exit 1
}
client() { "$run" "$bin/velmar_e2e_client.exe" "$@"; }
# The protocol client every integrator can use.
vclient() { "$run" "$bin/velmar-client.exe" "$@"; }
value() { client info | tr -d '\r' | sed -n "s/^$1=//p"; }
# The text of Memo1 or Memo2 (memo 1|2).
memo() { client "get-memo$1" memo.txt; cat memo.txt; }
expect() {  # expect NAME ACTUAL EXPECTED
  [ "$2" = "$3" ] || fail "$1: expected '$3', got '$2'"
  echo "ok: $1 = $3"
}
# Writes a file from printf-style text.
text() { f=$1; shift; printf "$@" > "$f"; }
# Runs a program in the background (a program, not a shell function, so that
# the process id is the program's own); its process id goes to $last_bg and it
# is ended at exit if it is still running.
background() {
  "$@" &
  last_bg=$!
  pids="$pids $last_bg"
}
# velmar-client in the background.
vclient_bg() { background "$run" "$bin/velmar-client.exe" "$@"; }

start() {
  client wait-gone 15000 || fail "another VelmarPro is running"
  "$run" "$app/VelmarPro.exe" "$@" >/dev/null 2>&1 &
  last=$!
  pids="$pids $last"
  client wait 30000 || fail "no main window after start"
}
wait_exit() {  # wait_exit PID: bounded; the exit status goes to $exit_status
  i=0
  while kill -0 "$1" 2>/dev/null; do
    i=$((i + 1))
    [ $i -le 150 ] || fail "process $1 did not end"
    sleep 0.2
  done
  exit_status=0
  wait "$1" || exit_status=$?
}
close_program() {
  client close
  wait_exit "$last"
  expect "exit code after close" "$exit_status" 0
}

# The Windows path of a file under the working folder (Wine's drive Z:).
winpath() { printf 'Z:%s' "$(printf '%s' "$work/$1" | tr '/' '\\')"; }
# The X window of a top-level window whose title is exactly $1 (bounded wait).
window_named() {
  i=0
  while :; do
    w=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    i=$((i + 1))
    [ $i -le 50 ] || return 1
    sleep 0.2
  done
}
# A real mouse click (button $2, default 1) in the middle of a control of the main window.
click_control() {
  set -- $(client rect "$1" | tr -d '\r') "${2:-1}"
  xdotool mousemove $(($1 + $3 / 2)) $(($2 + $4 / 2)) click "$5"
}
# Gives a window the keyboard focus (under Xvfb nobody else does); a window
# that is not mapped yet cannot take it, so this tries for a while.
focus_window() {
  i=0
  until xdotool windowfocus --sync "$1" 2>/dev/null; do
    i=$((i + 1))
    [ $i -le 25 ] || return 1
    sleep 0.2
  done
}
focus_main() {
  w=$(window_named "$(value title)") || fail "no X window of the main window"
  focus_window "$w" || fail "the main window does not take the focus"
}
# Waits until an open menu shows, then picks its item $1 (1-based) by keyboard.
pick_menu_item() {
  sleep 0.7
  i=0
  while [ $i -lt "$1" ]; do
    xdotool key Down
    i=$((i + 1))
  done
  xdotool key Return
}
# Types a path into the open or save dialog titled $1 and confirms it.
file_dialog() {
  d=$(window_named "$1") || fail "no '$1' dialog"
  focus_window "$d" || fail "the '$1' dialog does not take the focus"
  xdotool type --delay 10 "$2"
  xdotool key Return
  i=0
  while xdotool search --name "^$1\$" >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -le 50 ] || fail "the '$1' dialog did not close"
    sleep 0.2
  done
}
