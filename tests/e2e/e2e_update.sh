#!/bin/sh
# The update check and the installer of the real program under Wine, against
# a loopback web server of the test's own: e2e_update.sh SCENARIO BINDIR.
# VELMAR_UPDATE_SHOT, when set, names a picture of the update window to keep.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"
probe() { "$run" "$bin/window_probe.exe" "$@"; }
line() { tr -d '\r' < "$1" | sed -n "s/^$2=//p"; }
installers="$bin/../installer"

# The site: serve.py serves $work/site and logs the paths asked for.
mkdir -p site/zo_velmar
: > requests.log
background python3 "$here/serve.py" "$work/site" port.txt requests.log
i=0
until [ -s port.txt ]; do
  i=$((i + 1))
  [ $i -le 100 ] || fail "the web server did not start"
  sleep 0.1
done
server="http://127.0.0.1:$(cat port.txt)"
catalogue() {  # catalogue VER BYTES [SHA256] [SAVENAME]: the update catalogue the site offers
  # Catalogues are Windows-1251 texts.
  printf '[VelmarPro]\r\nVer=%s\r\nFullVer=2.0.0.%s\r\nURL=%s/zo_velmar/setup.exe\r\nDesc=Новая версия: быстрее.\r\nSaveName=%s\r\nBytes=%s\r\nSHA256=%s\r\n' \
    "$1" "$1" "$server" "${4:-velmar-update-$$.exe}" "$2" "${3:-}" | iconv -f UTF-8 -t CP1251 > site/zo_velmar/versions.ini
}
settings() { printf '[Velmar]\r\nServer=%s\r\n%s' "$server" "${1:-}" > "$app/VelmarPro.dat"; }
asked() { grep -c "^/zo_velmar/versions.ini" requests.log || true; }
# Waits until the program asked for the catalogue $1 times in all.
wait_asked() {
  i=0
  until [ "$(asked)" -ge "$1" ]; do
    i=$((i + 1))
    [ $i -le 100 ] || fail "the program never asked for the catalogue"
    sleep 0.1
  done
}
# Nothing is shown: no update window and no message box for a while after the check.
nothing_shown() {
  if probe update 1800 0 >/dev/null 2>&1; then fail "$1: an update window"; fi
  if client message-box 500 >msg.txt 2>/dev/null; then fail "$1: a message box: $(cat msg.txt)"; fi
  echo "ok: $1 shows nothing"
}

case "$scenario" in
offer)
  # A higher build written with a leading zero is offered; "Вручную" turns the check off.
  catalogue 0191 1048576
  settings
  start -autorun
  if [ -n "${VELMAR_UPDATE_SHOT:-}" ]; then  # a picture of the window to keep
    probe update 30000 0 > shot.txt
    sleep 0.5
    w=$(xdotool search --onlyvisible --name "^Доступна новая версия VelmarPro!\$" | head -1)
    import -window "$w" "$VELMAR_UPDATE_SHOT"
  fi
  probe update 30000 3 > update.txt || fail "no update window: $(cat update.txt)"
  cat update.txt
  expect "caption" "$(line update.txt caption)" "Доступна новая версия VelmarPro!"
  expect "client area" "$(line update.txt client)" "401 217"
  expect "current version" "$(line update.txt label2)" "Текущая версия:        1.1.1.190"
  expect "available version" "$(line update.txt label3)" "Доступная версия:     2.0.0.0191"
  case "$(line update.txt label4)" in
    "Размер для загрузки: 1,00 Мб" | "Размер для загрузки: 1.00 Мб") echo "ok: download size" ;;
    *) fail "download size: $(line update.txt label4)" ;;
  esac
  expect "progress maximum" "$(line update.txt progress_max)" 1048576
  expect "description" "$(line update.txt memo1)" "Новая версия: быстрее."
  grep -q '^closed' update.txt || fail "the update window did not close"
  tr -d '\r' < "$app/VelmarPro.dat" | grep -qx 'ShowUpdate=0' || fail "ShowUpdate=0 not written"
  expect "catalogue requests" "$(asked)" 1
  close_program
  # The next start makes no request at all.
  start
  sleep 2.5
  expect "catalogue requests after 'Вручную'" "$(asked)" 1
  close_program
  ;;
nothing)
  # The same build, a catalogue that is no INI text, and no server at all.
  catalogue 190 100
  settings
  start -autorun
  wait_asked 1
  nothing_shown "the same build"
  close_program
  printf '<html><body>Not what you wanted</body></html>\r\n' > site/zo_velmar/versions.ini
  start -autorun
  wait_asked 2
  nothing_shown "a catalogue that is no INI text"
  close_program
  printf '[Velmar]\r\nServer=http://127.0.0.1:9\r\n' > "$app/VelmarPro.dat"
  start -autorun
  sleep 1.5
  nothing_shown "an unreachable server"
  close_program
  ;;
truncated)
  # The installer that arrives is shorter than the catalogue says: deleted, not started, the user told.
  head -c 3000 "$installers/VelmarPro-setup-silent.exe" > site/zo_velmar/setup.exe
  catalogue 191 4000 "" "velmar-cut-$$.exe"
  settings
  start -autorun
  probe update 30000 1 > update.txt || fail "update window: $(cat update.txt)"
  msg=$(client message-box 20000) || fail "no message about the broken download"
  printf 'message: %s\n' "$msg"
  case "$msg" in "Не удалось загрузить обновление"*) echo "ok: the user is told" ;; *) fail "message: $msg" ;; esac
  cat update.txt
  probe hidden TUpdateForm 5000 || fail "the update window is still there"
  prefix=${WINEPREFIX:-$here/../../build/wineprefix}
  [ -z "$(find "$prefix/drive_c" -name "velmar-cut-$$.exe*" 2>/dev/null)" ] || fail "the broken installer was kept"
  client wait 5000 || fail "the program ended"
  expect "installer requests" "$(grep -c '^/zo_velmar/setup.exe' requests.log)" 1
  close_program
  ;;
no-start)
  # A size the progress bar cannot take runs it as a marquee; an installer that
  # cannot be started is reported and the program keeps running.
  printf 'not a program' > site/zo_velmar/setup.exe
  catalogue 191 0 "" "velmar-$$.unknown-kind"
  settings
  start -autorun
  probe update 30000 1 > update.txt || fail "update window: $(cat update.txt)"
  cat update.txt
  expect "marquee" "$(line update.txt marquee)" 1
  expect "download size" "$(line update.txt label4)" "Размер для загрузки: неизвестен"
  expect "what is downloaded" "$(line update.txt label1)" "Загрузка velmar-$$.unknown-kind [неизвестен]..."
  msg=$(client message-box 20000) || fail "no message about the installer that did not start"
  printf 'message: %s\n' "$msg"
  case "$msg" in "Не удалось запустить программу установки"*"velmar-$$.unknown-kind: "?*) echo "ok: the user is told" ;; *) fail "message: $msg" ;; esac
  probe hidden TUpdateForm 5000 || fail "the update window is still there"
  client wait 5000 || fail "the program ended"
  close_program
  ;;
*)
  fail "unknown scenario"
  ;;
esac
