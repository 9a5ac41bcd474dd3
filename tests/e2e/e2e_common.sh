# Shared part of the end-to-end scenario scripts SCRIPT SCENARIO BINDIR:
# sourced after `scenario` is set, it reads BINDIR from $2.
#
# Every scenario runs alone in a session of its own: an X server of its own
# (its keyboard focus, pointer, screen, clipboard and global hotkeys are
# nobody else's) and a Wine prefix of its own (one of the slot prefixes, all
# copies of the build's prepared prefix), so scenarios run side by side. It
# works in a fresh program folder under a fresh working folder (the current
# folder from then on) and ends every process started through `start` or
# `background`, its Wine session and its X server when the script exits.
# A script may define `cleanup_hook`, called first at exit.
# With VELMAR_E2E_SHARED_DISPLAY=1 the scenario uses $DISPLAY instead (to
# watch it; scenarios that need the focus then take turns).
if [ "${VELMAR_E2E_SHARED_DISPLAY:-0}" = 1 ]; then
  if [ -z "${DISPLAY:-}" ]; then
    echo "skipped: no X display"
    exit 77
  fi
elif ! command -v Xvfb >/dev/null 2>&1; then
  echo "skipped: no Xvfb (scripts/deps.sh installs it)"
  exit 77
fi
bin=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../wine-run.sh"

pids=""
mounted=""
xserver=""
work=""
slot_prefix=""

# Ends a process after its children (a Wine program runs as a child of the
# wine launcher, and would be left behind by killing the launcher alone).
killtree() {
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    killtree "$child"
  done
  kill "$1" 2>/dev/null || true
}
cleanup() {
  status=$?
  if command -v cleanup_hook >/dev/null 2>&1; then cleanup_hook || true; fi
  for pid in $pids; do
    killtree "$pid"
  done
  for pid in $pids; do
    wait "$pid" 2>/dev/null || true
  done
  # The Wine session ends with the scenario, before its slot is free again:
  # its server is told to end and waited for (bounded), so that the next
  # scenario in this slot never meets a copy of the program that is still ending.
  if [ -n "$slot_prefix" ]; then
    WINEPREFIX=$slot_prefix wineserver -k </dev/null >/dev/null 2>&1 || true
    WINEPREFIX=$slot_prefix timeout 30 wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  [ -z "$xserver" ] || kill "$xserver" 2>/dev/null || true
  if [ -n "$mounted" ]; then umount "$mounted" 2>/dev/null || umount -l "$mounted" 2>/dev/null || true; fi
  if [ -n "$work" ]; then
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
  fi
  exit $status
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAIL [$scenario]: $*" >&2
  exit 1
}

# A Wine prefix of this scenario's own: the first free slot, a copy of the
# prepared prefix (wine-run.sh makes it once) whose big system folders are hard
# links. The slot's lock is held until the script and its Wine session end.
base_prefix="${WINEPREFIX:-$(cd "$here/../.." && pwd)/build/wineprefix}"
"$run" --prepare || fail "cannot prepare the Wine prefix"
take_slot() {
  tries=0
  while :; do
    n=1
    while [ $n -le 16 ]; do
      candidate="$base_prefix-slot$n"
      exec 9>"$candidate.lock"
      if flock -n 9; then
        slot_prefix=$candidate
        return 0
      fi
      n=$((n + 1))
    done
    tries=$((tries + 1))
    [ $tries -le 300 ] || fail "no free Wine prefix slot"
    sleep 1
  done
}
# A script that sets e2e_prefix=NAME before sourcing this file runs in a Wine
# prefix of that name made by wineboot, which its scenarios take in turns.
if [ -n "${e2e_prefix:-}" ]; then
  slot_prefix="$(dirname "$bin")/wineprefix-$e2e_prefix"
  WINEPREFIX=$slot_prefix "$run" --prepare || fail "cannot prepare the Wine prefix $e2e_prefix"
  exec 9>"$slot_prefix.turn"
  flock 9
else
  take_slot
fi
# A slot is made again when the prepared prefix is newer, or when a scenario
# ended by force left its Wine desktop window setting or a display scale
# other than 100 % (LogPixels 96) behind.
if [ -z "${e2e_prefix:-}" ] && { [ ! -f "$slot_prefix/.velmar-ready" ] ||
  [ "$slot_prefix/.velmar-ready" -ot "$base_prefix/.velmar-ready" ] || grep -qs '^"Desktop"=' "$slot_prefix/user.reg" ||
  grep -s '^"LogPixels"=' "$slot_prefix/user.reg" | grep -qv 'dword:00000060'; }; then
  rm -rf "$slot_prefix"
  mkdir -p "$slot_prefix/drive_c/windows"
  for entry in "$base_prefix"/* "$base_prefix"/.update-timestamp; do
    name=${entry##*/}
    [ "$name" = drive_c ] || [ "$name" = wineserver ] || cp -a "$entry" "$slot_prefix/"
  done
  for entry in "$base_prefix"/drive_c/*; do
    [ "${entry##*/}" = windows ] || cp -a "$entry" "$slot_prefix/drive_c/"
  done
  for entry in "$base_prefix"/drive_c/windows/*; do
    case ${entry##*/} in
    system32 | syswow64 | winsxs) cp -al "$entry" "$slot_prefix/drive_c/windows/" ;;  # never written by the tests
    *) cp -a "$entry" "$slot_prefix/drive_c/windows/" ;;
    esac
  done
  touch "$slot_prefix/.velmar-ready"
fi
WINEPREFIX=$slot_prefix
export WINEPREFIX
# An X server of this scenario's own; it picks a free display itself. A
# script that sets e2e_screen=WxHxDEPTH before sourcing this file gets a
# screen of that size. Its keys never repeat (a repeat would come only after
# a minute): a key pressed while the machine is busy may stay down long
# enough to repeat, and its repeat reaches whichever window is active next.
if [ "${VELMAR_E2E_SHARED_DISPLAY:-0}" != 1 ]; then
  displayfile=$(mktemp "${TMPDIR:-/tmp}/velmar-display.XXXXXX")
  Xvfb -displayfd 3 -nolisten tcp -ardelay 60000 -screen 0 "${e2e_screen:-1280x1024x24}" 3>"$displayfile" </dev/null >/dev/null 2>&1 9>&- &
  xserver=$!
  i=0
  until [ -s "$displayfile" ]; do
    i=$((i + 1))
    [ $i -le 100 ] || fail "the X server did not start"
    sleep 0.1
  done
  DISPLAY=":$(head -1 "$displayfile")"
  export DISPLAY
  rm -f "$displayfile"
fi

# The Wine session starts once the scenario's X server is there and DISPLAY
# names it: started before, its programs would see no display (or that of
# whoever ran the test) for the whole session. It starts apart from the
# script's output, which its server would otherwise keep open for whoever
# reads it.
"$run" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
wineserver -p30 </dev/null >/dev/null 2>&1 9>&- || true

work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-e2e.XXXXXX")
app="$work/app"
mkdir -p "$app"
cp "$bin/VelmarPro.exe" "$app/"
cd "$work"

# The test client says a word whenever it fails; one that ends without a
# word did not start (Wine fails a start now and then on a busy machine) and is
# started again, twice at most.
client() {
  client_err=$(mktemp "$work/client.XXXXXX")
  client_tries=0
  while :; do
    client_tries=$((client_tries + 1))
    client_status=0
    client_out=$("$run" "$bin/velmar_e2e_client.exe" "$@" 2>"$client_err") || client_status=$?
    [ "$client_status" -ne 0 ] && [ ! -s "$client_err" ] && [ "$client_tries" -lt 3 ] || break
    echo "note: the test client ended without a word (status $client_status): started again" >&2
  done
  [ -z "$client_out" ] || printf '%s\n' "$client_out"
  cat "$client_err" >&2
  rm -f "$client_err"
  return "$client_status"
}
# The protocol client every integrator can use.
vclient() { "$run" "$bin/velmar-client.exe" "$@"; }
value() { client info | tr -d '\r' | sed -n "s/^$1=//p"; }
# The text of Memo1 or Memo2 (memo 1|2).
memo() { client "get-memo$1" memo.txt; cat memo.txt; }
expect() {  # expect NAME ACTUAL EXPECTED
  [ "$2" = "$3" ] || fail "$1: expected '$3', got '$2'"
  echo "ok: $1 = $3"
}
# expect_memo N EXPECTED NAME: Memo N holds EXPECTED once the click or key
# press just made has arrived (it may still be on its way to the program).
expect_memo() {
  i=0
  until [ "$(memo "$1")" = "$2" ]; do
    i=$((i + 1))
    [ $i -le 20 ] || break
    sleep 0.2
  done
  expect "$3" "$(memo "$1")" "$2"
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
  # A copy that is still ending is waited for. When the check fails with no
  # copy to be seen, the client itself failed (a Wine start on a busy
  # machine), which is no reason to give up.
  if ! client wait-gone 15000; then
    copies=$(client count | tr -d '\r')
    [ "$copies" = 0 ] || fail "another VelmarPro is running (${copies:-?} main window(s) in this session)"
    echo "note: the check for another VelmarPro failed, with none to be seen"
  fi
  "$run" "$app/VelmarPro.exe" "$@" >/dev/null 2>&1 &
  last=$!
  pids="$pids $last"
  client wait 60000 || { start_report; fail "no main window after start"; }
}
# What a start that shows no window was doing: its process, the other
# programs of the session, the single-instance mutex and the screen (the
# picture stays in the build folder).
start_report() {
  {
    echo "--- the start shows no window; its process $last:"
    ps -o pid=,stat=,etime=,wchan:20=,args= -p "$last" 2>/dev/null || echo "(ended)"
    echo "--- the Wine processes of the machine:"
    ps -eo pid=,ppid=,stat=,etime=,args= | grep -E '[.]exe|wineserver' | grep -v grep
    echo "--- main windows of the session: $(client count 2>&1 | tr -d '\r'); the mutex: $(client mutex 2>&1 | tr -d '\r')"
    shot="$bin/../e2e-failure-$scenario.png"
    import -window root "$shot" 2>/dev/null && echo "--- the screen: $shot"
  } >&2 || true
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
  # Its process has ended; its windows go with it in the Wine session.
  client wait-gone 15000 || fail "the main window is still there after the program ended"
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
# The screen rectangle "x y width height" of a control of the main window, by
# its name in app/win/control_ids.h.
control_rect() { client rect "$1" | tr -d '\r'; }
# A real mouse click (button $2, default 1) in the middle of a control of the
# main window, or $3 and $4 pixels right and down of the middle.
click_control() {
  set -- $(control_rect "$1") "${2:-1}" "${3:-0}" "${4:-0}"
  to_x=$(($1 + $3 / 2 + $6)) to_y=$(($2 + $4 / 2 + $7))
  # --sync waits until the pointer has moved, which takes xdotool's whole
  # time-out (15 s) when it is there already: a second click on one control.
  if [ "$(xdotool getmouselocation | sed 's/^x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/')" = "$to_x $to_y" ]; then
    xdotool click "$5"
  else
    xdotool mousemove --sync "$to_x" "$to_y" click "$5"
  fi
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
# Picks item N (counted from 1, separators skipped) of the popup menu that is
# opening, by keyboard once it is on the screen: keys pressed before it is
# would reach the window below it.
pick_menu_item() {
  client wait-menu 15000 || fail "no popup menu opened to pick item $1 from"
  press_menu_item "$1"
}
# Picks item N of the popup menu that is on the screen.
press_menu_item() {
  sleep 0.2
  i=0
  while [ $i -lt "$1" ]; do
    xdotool key Down
    i=$((i + 1))
  done
  xdotool key Return
  client wait-menu-gone 15000 || fail "the popup menu stayed open after picking item $1"
}
# Opens the context menu of control $1 with a right click and picks item $2.
# A right click can go astray under Wine on a busy machine: when no menu
# shows, the click is made again, up and left of the last one, where a menu
# that the last click opened late (it opens down and right of the click) is not.
context_menu() {
  tries=0
  click_control "$1" 3
  until client wait-menu 8000; do
    tries=$((tries + 1))
    [ $tries -lt 3 ] || fail "no popup menu opened on $1 after $tries right clicks"
    echo "note: no popup menu after a right click on $1, clicking again"
    click_control "$1" 3 $((-10 * tries)) $((-10 * tries))
  done
  press_menu_item "$2"
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
  # The program reads or writes the file after its dialog has gone; a message
  # it answers after that comes when the command is done.
  client wait 30000 || fail "the program did not answer after the '$1' dialog"
}
