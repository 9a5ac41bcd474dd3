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

# The update window's state into state.txt once it answers again (after the
# message box that was just answered has gone).
update_state() {
  i=0
  until probe update-state > state.txt 2>&1; do
    i=$((i + 1))
    [ $i -le 20 ] || fail "the update window went: $(cat state.txt)"
    sleep 0.5
  done
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
  # As a screen reader reads it: every control named, before "Вручную" is pressed.
  probe update 30000 0 > /dev/null
  "$run" "$bin/access_probe.exe" update | tr -d '\r' > access.txt
  if grep '^nameless:' access.txt; then fail "controls without a name in the update window: $(cat access.txt)"; fi
  grep -q ' name=Что нового$' access.txt || fail "the news box has no name: $(cat access.txt)"
  echo "ok: every control of the update window has a name"
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
bad-name)
  # A SaveName the installer cannot be stored under: the user is told why and
  # the window stays, for "Вручную" or "Закрыть". Then an empty one.
  catalogue 191 100 "" '..\evil.exe'
  settings
  start -autorun
  probe update 30000 0 >/dev/null || fail "no update window"
  probe update-press 1
  msg=$(client message-box 20000) || fail "no message about the name"
  expect "message" "$msg" "Не удалось загрузить обновление: имя файла программы установки «..\\evil.exe» недопустимо (в нём есть папка, диск, «..», символы, запрещённые в именах файлов, или имя устройства)."
  update_state
  expect "panel after the message" "$(line state.txt panel)" 1
  expect "button 2 after the message" "$(line state.txt button2)" "Закрыть"
  [ "$(grep -c '^/zo_velmar/setup.exe' requests.log)" = 0 ] || fail "something was downloaded"
  probe update 5000 2 | grep -q '^closed' || fail "the update window did not close"
  close_program
  printf '[VelmarPro]\r\nVer=191\r\nFullVer=2.0\r\nURL=%s/zo_velmar/setup.exe\r\nBytes=100\r\n' "$server" > site/zo_velmar/versions.ini
  start -autorun
  probe update 30000 0 >/dev/null || fail "no update window"
  probe update-press 1
  msg=$(client message-box 20000) || fail "no message about the missing name"
  expect "message" "$msg" "Не удалось загрузить обновление: каталог обновлений не называет файл программы установки."
  update_state
  expect "panel after the message" "$(line state.txt panel)" 1
  probe update 5000 2 | grep -q '^closed' || fail "the update window did not close"
  close_program
  ;;
hang | cancel)
  # module_server.py plays a server that never answers (while ROOT/HANG
  # exists) and one that sends a byte every tenth of a second (/slow/).
  mkdir -p www/zo_velmar
  background python3 "$here/module_server.py" "$work/www" mport.txt
  i=0
  until [ -s mport.txt ]; do
    i=$((i + 1))
    [ $i -le 100 ] || fail "the slow web server did not start"
    sleep 0.1
  done
  slow="http://127.0.0.1:$(cat mport.txt)"
  if [ "$scenario" = hang ]; then
    # The server takes the request for the catalogue and never answers: the
    # program answers all the while, and ends when asked.
    touch www/HANG
    printf '[Velmar]\r\nServer=%s\r\nNetTimeout=30000\r\n' "$slow" > "$app/VelmarPro.dat"
    start -autorun
    sleep 2
    n=0
    while [ $n -lt 8 ]; do
      client wait 1500 || fail "the program stopped answering during the update check"
      n=$((n + 1))
      sleep 0.5
    done
    echo "ok: the program answers while the server does not"
    client close
    i=0
    while kill -0 "$last" 2>/dev/null; do
      i=$((i + 1))
      [ $i -le 50 ] || fail "the program did not end within 10 s of being closed"
      sleep 0.2
    done
    echo "ok: closed while the check waits"
    exit 0
  fi
  # A slow installer: "Отмена" ends the download at once and leaves the offer
  # on the screen; left alone it ends at the overall limit, with a message.
  prefix=${WINEPREFIX:-$here/../../build/wineprefix}
  tempdir=$(find "$prefix/drive_c/users" -maxdepth 5 -type d -iname temp | head -1)
  [ -n "$tempdir" ] || fail "no temp folder in the Wine prefix"
  printf 'half' > "$tempdir/VelmarPro-crashed-$$.exe.1.part"
  printf '[VelmarPro]\r\nVer=191\r\nFullVer=2.0\r\nURL=%s/slow/setup.exe\r\nSaveName=velmar-slow-%s.exe\r\nBytes=5000\r\n' \
    "$slow" "$$" > site/zo_velmar/versions.ini
  # The limit leaves room for the watching and the cancel below, which run in
  # one probe: with a probe started for each step, the steps took longer than
  # a short limit on a busy machine, and "Отмена" came after the limit's message.
  settings 'DownloadLimit=10000'
  start -autorun
  [ ! -e "$tempdir/VelmarPro-crashed-$$.exe.1.part" ] || fail "the left-over part of an update was kept"
  probe update 30000 0 > update.txt || fail "no update window"
  probe update-cancel 2000 > state.txt || fail "the download: $(cat state.txt)"
  cat state.txt
  expect "button 2 during the download" "$(line state.txt button2_during)" "Отмена"
  case "$(line state.txt caption_last)" in "Скачивание файла "*) echo "ok: progress in the caption" ;; *) fail "caption: $(line state.txt caption_last)" ;; esac
  [ "$(line state.txt caption_first)" != "$(line state.txt caption_last)" ] || fail "the progress stood still for two seconds"
  expect "panel after Отмена" "$(line state.txt panel_after)" 1
  [ "$(line state.txt cancel_ms)" -lt 1500 ] || fail "Отмена took $(line state.txt cancel_ms) ms"
  expect "caption after Отмена" "$(line state.txt caption_after)" "Доступна новая версия VelmarPro!"
  expect "button 2 after Отмена" "$(line state.txt button2_after)" "Закрыть"
  if client message-box 500 >msg.txt 2>/dev/null; then fail "a message after Отмена: $(cat msg.txt)"; fi
  sleep 1
  [ -z "$(find "$prefix/drive_c" -name "*velmar-slow-$$*" 2>/dev/null)" ] || fail "a part of the installer was kept"
  # Again, left alone: the limit of ten seconds ends it.
  probe update-press 1
  msg=$(client message-box 20000) || fail "no message at the limit"
  expect "message at the limit" "$msg" "Не удалось загрузить обновление (загрузка длилась слишком долго и прервана). Программа установки не запущена."
  probe hidden TUpdateForm 5000 || fail "the update window is still there"
  sleep 1
  [ -z "$(find "$prefix/drive_c" -name "*velmar-slow-$$*" 2>/dev/null)" ] || fail "a part of the installer was kept"
  client wait 5000 || fail "the program ended"
  close_program
  ;;
*)
  fail "unknown scenario"
  ;;
esac
