#!/bin/sh
# Every window of the real program under Wine with the display set to 150 %
# and 200 % (the user's LogPixels 144 and 192): its client area is its size at
# 96 DPI scaled, within two pixels, and the splash is the picture drawn for
# the scale. e2e_dpi.sh SCENARIO BINDIR (scenario: scales).
# VELMAR_DPI_SHOTS, when set, names a folder that keeps the main window's
# pictures (main-window-150.png, main-window-200.png) and the editor's.
set -eu
scenario=$1
# A screen as a 200 % laptop has: the main window at 200 % is wider than 1280.
e2e_screen=2560x1600x24
. "$(dirname "$0")/e2e_common.sh"
probe() { "$run" "$bin/window_probe.exe" "$@"; }
line() { tr -d '\r' < "$1" | sed -n "s/^$2=//p"; }
set_dpi() { "$run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
# The slot prefix goes back to 100 % for the scenarios after this one.
cleanup_hook() { set_dpi 96; }
# expect_scaled NAME "W H" W96 H96 DPI: each within two pixels of the 96-DPI size scaled.
expect_scaled() {
  set -- "$1" $2 "$3" "$4" "$5"
  want_w=$((($4 * $6 + 48) / 96))
  want_h=$((($5 * $6 + 48) / 96))
  dw=$(($2 - want_w))
  dh=$(($3 - want_h))
  [ "${dw#-}" -le 2 ] && [ "${dh#-}" -le 2 ] ||
    fail "$1 at $6 DPI: client $2x$3, expected about ${want_w}x${want_h}"
  echo "ok: $1 at $6 DPI: $2x$3 (96 DPI: $4x$5)"
}

case "$scenario" in
scales)
  # A module catalogue, so that the module window stays open to be measured.
  site=$(cd "$here/../../site/zo_velmar/modules" && pwd)
  mkdir -p "$work/www/zo_velmar/modules"
  cp "$site"/ru-icao-9303.table "$work/www/zo_velmar/modules/"
  background python3 "$here/module_server.py" "$work/www" "$work/port"
  i=0
  until [ -s "$work/port" ]; do
    i=$((i + 1))
    [ $i -le 100 ] || fail "the loopback server did not start"
    sleep 0.1
  done
  base="http://127.0.0.1:$(cat "$work/port")"
  printf '[icao]\r\nName=ICAO\r\nDesc=ICAO\r\nFileName=ru-icao-9303.table\r\nURL=%s/zo_velmar/modules/ru-icao-9303.table\r\n' \
    "$base" > "$work/www/zo_velmar/modules/dwl_modules.ini"
  printf '[Velmar]\r\nServer=%s\r\nShowUpdate=0\r\n' "$base" > "$app/VelmarPro.dat"
  mkdir -p "$app/Table"
  cp "$here/tables/"*.table "$app/Table/"

  for dpi in 144 192; do
    percent=$((dpi * 100 / 96))
    set_dpi "$dpi"
    # The splash: the picture drawn for the scale, centred.
    probe splash 60000 > splash.txt 2>&1 &
    watcher=$!
    pids="$pids $watcher"
    "$run" "$app/VelmarPro.exe" >/dev/null 2>&1 &
    last=$!
    pids="$pids $last"
    wait "$watcher" || { cat splash.txt; fail "the splash watcher failed"; }
    set -- $(line splash.txt rect)
    expect "splash size at $dpi DPI" "$3 $4" "$(((476 * dpi + 48) / 96)) $(((294 * dpi + 48) / 96))"
    client wait 30000 || fail "no main window after the splash"

    probe client TVelmarPro_Api 5000 > main.txt || fail "main window: $(cat main.txt)"
    expect_scaled "main window" "$(line main.txt client)" 660 351 "$dpi"
    # The update window is made at start and kept hidden.
    probe client TUpdateForm 5000 > update.txt || fail "update window: $(cat update.txt)"
    expect_scaled "update window" "$(line update.txt client)" 401 217 "$dpi"
    probe about close > about.txt || fail "about window: $(cat about.txt)"
    expect_scaled "about window" "$(line about.txt client)" 361 288 "$dpi"

    text in.txt 'Щука и ёж живут в Подмосковье.\r\nСъешь же ещё этих мягких французских булок.\r\n'
    client set-memo1 in.txt
    client click btn_Velmar
    client wait-run
    # The statistics window, from a click on the lit status line (the wait
    # window before it is up for a moment only).
    set -- $(client rect Label2 | tr -d '\r')
    xdotool mousemove $(($1 + 20)) $(($2 + $4 / 2))
    sleep 0.5
    xdotool click 1
    probe client TStatForm 20000 close > stat.txt || fail "statistics window: $(cat stat.txt)"
    expect_scaled "statistics window" "$(line stat.txt client)" 329 248 "$dpi"

    "$run" "$bin/editor_e2e_client.exe" open-editor > editor.txt || fail "no editor: $(cat editor.txt)"
    probe client TTableEditForm 10000 > editor.txt || fail "editor: $(cat editor.txt)"
    expect_scaled "table editor" "$(line editor.txt client)" 568 379 "$dpi"
    "$run" "$bin/editor_e2e_client.exe" press params || fail "no parameters button"
    probe client TTableParamForm 10000 > params.txt || fail "parameters dialog: $(cat params.txt)"
    expect_scaled "parameters dialog" "$(line params.txt client)" 305 300 "$dpi"
    if [ -n "${VELMAR_DPI_SHOTS:-}" ]; then
      sleep 1
      import -window root "$VELMAR_DPI_SHOTS/editor-$percent.png"
    fi
    probe client TTableParamForm 10000 close > /dev/null || fail "the parameters dialog did not close"
    probe client TTableEditForm 10000 close > /dev/null || fail "the editor did not close"

    if [ -n "${VELMAR_DPI_SHOTS:-}" ]; then
      # Without a window manager nothing repaints what the closed windows covered.
      xdotool mousemove 0 0
      client redraw
      sleep 1
      # The client area alone: Xvfb has no window manager to draw the frame.
      set -- $(client rect main | tr -d '\r') $(line main.txt client)
      border=$((($3 - $5) / 2))
      import -window root -crop "$5x$6+$(($1 + border))+$(($2 + $4 - border - $6))" \
        "$VELMAR_DPI_SHOTS/main-window-$percent.png"
    fi

    probe click sSpeedButton1
    probe client TDwnlModulesForm 20000 close > modules.txt || fail "module window: $(cat modules.txt)"
    expect_scaled "module window" "$(line modules.txt client)" 496 297 "$dpi"
    close_program
  done
  ;;
*)
  fail "unknown scenario"
  ;;
esac
