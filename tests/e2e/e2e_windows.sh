#!/bin/sh
# The splash window and the about window of the real program under Wine:
# e2e_windows.sh SCENARIO BINDIR (scenario: splash, which opens the about window too).
# VELMAR_SPLASH_SHOT and VELMAR_ABOUT_SHOT, when set, name pictures to keep.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"
probe() { "$run" "$bin/window_probe.exe" "$@"; }
# The colour of pixel X,Y of a picture, as "R G B" (0..255).
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
line() { tr -d '\r' < "$1" | sed -n "s/^$2=//p"; }

case "$scenario" in
splash)
  # A magenta window plays the desktop behind the splash.
  background "$run" "$bin/window_probe.exe" backdrop
  timeout 30 xdotool search --sync --onlyvisible --name "^backdrop$" >/dev/null || fail "no backdrop window"
  probe splash 30000 > splash.txt 2>&1 &
  watcher=$!
  pids="$pids $watcher"
  "$run" "$app/VelmarPro.exe" >/dev/null 2>&1 &
  last=$!
  pids="$pids $last"
  i=0
  until grep -q '^up' splash.txt; do
    i=$((i + 1))
    [ $i -le 600 ] || { cat splash.txt; fail "no splash within 30 s"; }
    sleep 0.05
  done
  # Shots while the splash is up (each takes a while under load); the first
  # with the card in its middle is the one looked at.
  set -- $(line splash.txt rect)
  n=0
  until grep -q '^shown_ms' splash.txt || [ $n -ge 20 ]; do
    n=$((n + 1))
    import -window root -crop "$3x$4+$1+$2" "shot$n.miff"
  done
  found=""
  for k in $(seq 1 $n); do
    set -- $(pixel "shot$k.miff" 238 240) $1 $2 $3 $4
    [ "$3" -gt "$1" ] && [ "$3" -gt 60 ] && { found=$k; convert "shot$k.miff" splash.png; }
    shift 3
    [ -z "$found" ] || break
  done
  [ -n "$found" ] || fail "no shot of $n shows the splash's card"
  wait "$watcher" || { cat splash.txt; fail "the splash watcher failed"; }
  cat splash.txt
  expect "caption" "$(line splash.txt caption)" "splash"
  expect "layered" "$(line splash.txt layered)" 1
  expect "top-most" "$(line splash.txt topmost)" 1
  expect "size" "$3 $4" "476 294"
  set -- $1 $2 $(line splash.txt screen)
  expect "centred" "$1 $2" "$((($3 - 476) / 2)) $((($4 - 294) / 2))"
  ms=$(line splash.txt shown_ms)
  [ "$ms" -ge 400 ] && [ "$ms" -le 4000 ] || fail "the splash stayed $ms ms, not about 900"
  echo "ok: the splash stayed $ms ms"
  expect "main window still hidden while the splash is up" "$(line splash.txt main_visible_then)" 0
  # Where the picture is fully transparent the desktop shows. (Its soft shadow
  # needs a compositing window manager to blend; Xvfb has none.)
  [ -z "${VELMAR_SPLASH_SHOT:-}" ] || cp splash.png "$VELMAR_SPLASH_SHOT"
  expect "transparent corner" "$(pixel splash.png 3 3)" "255 0 255"
  expect "transparent corner" "$(pixel splash.png 472 2)" "255 0 255"
  expect "transparent corner" "$(pixel splash.png 4 290)" "255 0 255"
  client wait 30000 || fail "no main window after the splash"

  # The about window of the same run.
  probe about close > about.txt || fail "about window: $(cat about.txt)"
  cat about.txt
  expect "caption" "$(line about.txt caption)" "О программе VelmarPro"
  expect "client area" "$(line about.txt client)" "361 288"
  expect "version line" "$(line about.txt version)" "Версия: 1.1.1.190"
  expect "owned by the main window" "$(line about.txt owner_is_main)" 1
  expect "main window disabled while open" "$(line about.txt main_enabled)" 0
  expect "OK button" "$(line about.txt ok)" "ОК"
  grep -q "^closed main_enabled=1" about.txt || fail "the main window did not come back after the close box"
  probe about ok > about2.txt || fail "about window: $(cat about2.txt)"
  grep -q "^closed main_enabled=1" about2.txt || fail "the main window did not come back after OK"
  # A picture of it for the README.
  if [ -n "${VELMAR_ABOUT_SHOT:-}" ]; then
    probe about keep > about3.txt
    set -- $(line about3.txt client_rect)
    sleep 0.5
    import -window root -crop "$3x$4+$1+$2" "$VELMAR_ABOUT_SHOT"
  fi
  close_program

  # With "-autorun" there is no splash at all.
  probe never TOEMForm 30000 > never.txt 2>&1 &
  watcher=$!
  pids="$pids $watcher"
  start -autorun
  wait "$watcher" || fail "a splash with -autorun: $(cat never.txt)"
  echo "ok: no splash with -autorun"
  close_program
  ;;
*)
  fail "unknown scenario"
  ;;
esac
