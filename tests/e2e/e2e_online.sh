#!/bin/sh
# End-to-end scenario of the module window against a loopback HTTP server of
# the test's own (tests/e2e/module_server.py): e2e_online.sh SCENARIO BINDIR.
# One program start covers the list with its marks, download and delete with
# the table list following, failed downloads, refused names, and the
# catalogue that is empty, missing, too long, never answered or not storable.
# (A server that is not there at all, and a download that is never answered,
# take the same paths as a missing catalogue and a failed download; the HTTP
# layer's own tests cover them.)
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"

# The probe runs once for the whole scenario, taking commands through a pipe:
# every start of a Windows program costs most of a second under Wine.
mkfifo "$work/probe.in" "$work/probe.out"
"$run" "$bin/modules_probe.exe" serve < "$work/probe.in" > "$work/probe.out" 2>&1 &
pids="$pids $!"
exec 3> "$work/probe.in" 4< "$work/probe.out"
probe() {
  printf '%s\n' "$*" >&3
  answer=""
  while IFS= read -r line <&4; do
    line=${line%"$(printf '\r')"}
    [ "$line" = "." ] && break
    answer="$answer$line
"
  done
  case "$answer" in ERROR:*) printf 'probe %s: %s' "$*" "$answer" >&2; return 1 ;; esac
  printf '%s' "$answer"
}
site=$(cd "$here/../../site/zo_velmar/modules" && pwd)
modules="$work/www/zo_velmar/modules"
catalogue="$modules/dwl_modules.ini"
mkdir -p "$modules" "$app/Table"
cp "$site"/*.table "$modules/"

background python3 "$here/module_server.py" "$work/www" "$work/port"
i=0
until [ -s "$work/port" ]; do
  i=$((i + 1))
  [ $i -le 100 ] || fail "the loopback server did not start"
  sleep 0.1
done
base="http://127.0.0.1:$(cat "$work/port")"

# A catalogue in Windows-1251 from UTF-8 lines "section|Name|FileName|URL".
write_catalogue() {
  while IFS='|' read -r section name file url; do
    printf '[%s]\r\nName=%s\r\nDesc=Описание %s\r\nFileName=%s\r\nURL=%s\r\n' \
      "$section" "$name" "$section" "$file" "$url"
  done | iconv -f utf-8 -t cp1251 > "$catalogue"
}
write_catalogue <<LIST
icao|ICAO|ru-icao-9303.table|$base/zo_velmar/modules/ru-icao-9303.table
gost|ГОСТ|ru-gost-7.79-b.table|$base/zo_velmar/modules/ru-gost-7.79-b.table
cut|Обрыв|bg-2009.table|$base/cut/bg-2009.table
missing|Нет файла|nothing.table|$base/zo_velmar/modules/nothing.table
up|Вверх|..\\evil.table|$base/zo_velmar/modules/ua-2010.table
device|Устройство|CON.table|$base/zo_velmar/modules/ua-2010.table
local|Локальный|win.table|file:///C:/windows/win.ini
cyr|Мой|мой.table|$base/zo_velmar/modules/ua-2010.table
slow|Медленный|slow.table|$base/slow/slow.table
LIST
good_catalogue=$(cat "$catalogue" | od -An -tx1 | tr -d ' \n')
# The ICAO module is there already, its name in other Latin capitals.
cp "$site/ru-icao-9303.table" "$app/Table/RU-ICAO-9303.TABLE"
# So is "мой.table", its first letter a Cyrillic capital: Windows takes both
# names for one file.
cp "$site/ua-2010.table" "$app/Table/Мой.table"
# A download the program never finished (it was killed) left its part behind.
printf 'half' > "$app/Table/crashed.table.part"
# A whole download may take three seconds here.
printf '[Velmar]\r\nServer=%s\r\nSite=http://velmar.example/\r\nNetTimeout=1500\r\nDownloadLimit=3000\r\n' "$base" > "$app/VelmarPro.dat"

rows() { probe list | grep -E '^(caption|main.enabled|button|row[0-9]+)='; }
click_row() {
  set -- $(probe row-point "$1")
  xdotool mousemove "$1" "$2" click 1
  sleep 0.1
}
button() { probe list | sed -n 's/^button=//p'; }
table_files() { (cd "$app/Table" && ls) | tr '\n' ' '; }
list_count() { probe tables | sed -n 's/^count=//p'; }
no_server_box="Нет доступа к серверу|Подключение к серверу с модулями не удалось, Вы можете скачать модули вручную на официальном сайте разработчика: http://velmar.example/"

start
[ ! -e "$app/Table/crashed.table.part" ] || fail "the left-over part of a download was kept"
expect "tables before" "$(list_count)" 6
probe open
expect "the loaded module window" "$(rows)" "$(printf '%s\n' \
  'caption=Загрузка дополнительных модулей (Доступно: 9)' 'main.enabled=0' 'button=Загрузить (disabled)' \
  'row0=ICAO|Описание icao|Да|0' 'row1=ГОСТ|Описание gost|Нет|1' 'row2=Обрыв|Описание cut|Нет|1' \
  'row3=Нет файла|Описание missing|Нет|1' 'row4=Вверх|Описание up|Недоступен|1' \
  'row5=Устройство|Описание device|Недоступен|1' 'row6=Локальный|Описание local|Недоступен|1' \
  'row7=Мой|Описание cyr|Да|0' 'row8=Медленный|Описание slow|Нет|1')"
# As a screen reader reads it: every control named.
"$run" "$bin/access_probe.exe" modules | tr -d '\r' > access.txt
if grep '^nameless:' access.txt; then fail "controls without a name in the module window: $(cat access.txt)"; fi
grep -q ' name=Модули$' access.txt || fail "the module list has no name: $(cat access.txt)"
echo "ok: every control of the module window has a name"

# One module window at most: a second "Загрузить модули" keeps it, and the
# about window opened from the tray over it leaves the main window disabled.
window=$(probe handle)
probe open
sleep 1
expect "module window after a second open" "$(probe handle)" "$window"
expect "main window after the about window" "$(probe tray-about)" "main.enabled=0"
expect "module window after the about window" "$(probe handle)" "$window"

# Download: the row turns to "Да", the file is whole, the table list follows.
click_row 1
expect "button on a missing module" "$(button)" "Загрузить"
probe press
probe wait-mark 1 "Да" >/dev/null
expect "button after the download" "$(button)" "Удалить"
cmp "$site/ru-gost-7.79-b.table" "$app/Table/ru-gost-7.79-b.table" || fail "the downloaded table differs"
expect "tables after the download" "$(list_count)" 8
probe tables | grep -q '^Русский - Латиница (ГОСТ 7.79 Б)$' || fail "the new table is not listed"

# Delete: the file goes, the row turns to "Нет", the table list follows.
click_row 0
expect "button on a present module" "$(button)" "Удалить"
probe press
probe wait-mark 0 "Нет" >/dev/null
expect "table folder after the delete" "$(table_files)" "ru-gost-7.79-b.table Мой.table "
expect "tables after the delete" "$(list_count)" 6

# Failed downloads leave nothing behind and say why.
for case in "2|Модуль «Обрыв» не загружен: связь прервалась, получено байт: 1000 из 5000." \
            "3|Модуль «Нет файла» не загружен: сервер ответил кодом 404."; do
  row=${case%%|*}
  click_row "$row"
  probe press
  expect "message of row $row" "$(probe message-box)" "Ошибка загрузки|${case#*|}"
  expect "row $row after the failure" "$(probe list | sed -n "s/^row$row=.*|\(.*\)|\(.*\)$/\1 \2/p")" "Нет 1"
  expect "table folder after row $row" "$(table_files)" "ru-gost-7.79-b.table Мой.table "
done
expect "tables after the failures" "$(list_count)" 6

# A slow server: the window answers during the download, shows what has come
# and "Отмена" ends it at once, leaving nothing behind.
click_row 8
probe press
i=0
until probe state | grep -q '^caption=Загрузка модуля «Медленный»: '; do
  i=$((i + 1))
  [ $i -le 50 ] || fail "no progress of the slow download: $(probe state)"
  sleep 0.1
done
state=$(probe state) || fail "the module window does not answer during a download"
printf '%s\n' "$state"
expect "button during a download" "$(printf '%s\n' "$state" | sed -n 's/^button=//p')" "Отмена"
expect "close during a download" "$(printf '%s\n' "$state" | sed -n 's/^close=//p')" "disabled"
probe press
i=0
until [ "$(probe state | sed -n 's/^button=//p')" = "Загрузить" ]; do
  i=$((i + 1))
  [ $i -le 10 ] || fail "Отмена did not end the download at once: $(probe state)"
  sleep 0.1
done
probe no-message-box 500
expect "caption after Отмена" "$(probe state | sed -n 's/^caption=//p')" "Загрузка дополнительных модулей (Доступно: 9)"
sleep 1
expect "table folder after Отмена" "$(table_files)" "ru-gost-7.79-b.table Мой.table "
# Left alone, it is stopped after the three seconds a whole download may take.
probe press
expect "message of a download over its limit" "$(probe message-box 10000)" \
  "Ошибка загрузки|Модуль «Медленный» не загружен: загрузка длилась слишком долго и прервана."
sleep 1
expect "table folder after the limit" "$(table_files)" "ru-gost-7.79-b.table Мой.table "

# A file the user has under a module's name (in other capitals) is replaced
# only when the user says so; a download that fails keeps it as it was.
printf 'my own table' > "$app/Table/BG-2009.TABLE"
click_row 2
probe press
expect "question before replacing" "$(probe answer-box no)" \
  "Файл уже есть|В папке Table уже есть файл «bg-2009.table». Заменить его модулем «Обрыв»?"
probe no-message-box 500
expect "the user's file after 'No'" "$(cat "$app/Table/BG-2009.TABLE")" "my own table"
probe press
probe answer-box yes >/dev/null
expect "message of the failed replacement" "$(probe message-box)" \
  "Ошибка загрузки|Модуль «Обрыв» не загружен: связь прервалась, получено байт: 1000 из 5000."
expect "the user's file after a failed replacement" "$(cat "$app/Table/BG-2009.TABLE")" "my own table"
rm "$app/Table/BG-2009.TABLE"

# Refused names and addresses cannot be downloaded; a click outside the rows
# disables the button too.
for row in 4 5 6; do
  click_row $row
  expect "button on refused row $row" "$(button)" "Загрузить (disabled)"
done
click_row 1
expect "button back on a row" "$(button)" "Удалить"
click_row -1
expect "button after a click outside the rows" "$(button)" "Удалить (disabled)"

# A module deleted by hand: deleting fails, the row stays, the button follows the file.
rm "$app/Table/ru-gost-7.79-b.table"
click_row 1
probe press
sleep 0.5
expect "row of a module deleted by hand" "$(probe list | grep '^row1=')" "row1=ГОСТ|Описание gost|Да|0"
expect "button of a module deleted by hand" "$(button)" "Загрузить"

probe close
expect "main window after closing" "$(probe gone)" "main.enabled=1"

# An empty catalogue and a missing one (404): the window goes at once.
: > "$catalogue"
probe open
expect "message for an empty catalogue" "$(probe message-box)" "$no_server_box"
expect "main window after an empty catalogue" "$(probe gone)" "main.enabled=1"
rm "$catalogue"
probe open
expect "message for a missing catalogue" "$(probe message-box)" "$no_server_box"
expect "main window after a missing catalogue" "$(probe gone)" "main.enabled=1"

# A catalogue over 64 KiB: the sections within the first 65536 bytes are
# listed, but not the last of them, which may be cut.
python3 - "$catalogue" "$base" <<'PY'
import sys
path, base = sys.argv[1], sys.argv[2]
with open(path, "wb") as f:
    for i in range(1000):
        f.write(("[m%03d]\r\nName=Module %03d\r\nFileName=m%03d.table\r\nURL=%s/zo_velmar/modules/m%03d.table\r\n"
                 % (i, i, i, base, i)).encode())
PY
size=$(head -c 65536 "$catalogue" | grep -c '^\[')
probe open
expect "caption of a long catalogue" "$(probe list | sed -n 's/^caption=//p')" \
  "Загрузка дополнительных модулей (Доступно: $((size - 1)))"
# Esc closes the window as "Закрыть" does.
focus_window "$(window_named "Загрузка дополнительных модулей \(Доступно: $((size - 1))\)")" ||
  fail "the module window does not take the focus"
xdotool key Escape
expect "main window after Esc in the module window" "$(probe gone)" "main.enabled=1"

# A server that never answers: the window stays loading (and refuses to
# close) until the time-out gives up.
touch "$work/www/HANG"
probe open
expect "loading state" "$(probe loading)" "$(printf '%s\n' 'caption=Загрузка дополнительных модулей' \
  'label=Загрузка списка доступных модулей...' 'main.enabled=0')"
probe close-box
expect "closing while loading is refused" "$(probe loading | sed -n 's/^label=//p')" "Загрузка списка доступных модулей..."
expect "message when the server never answers" "$(probe message-box)" "$no_server_box"
expect "main window after the time-out" "$(probe gone)" "main.enabled=1"
rm "$work/www/HANG"

# "tst.ini" cannot be stored: the window goes and the main window is enabled.
printf '%s' "$good_catalogue" | xxd -r -p > "$catalogue"
probe block-temp on
trap 'probe block-temp off; cleanup' EXIT
probe open
probe message-box | grep -q '^VelmarPro|Не удалось сохранить список модулей во временный файл «.*tst.ini»\.$' ||
  fail "no message about tst.ini"
expect "main window after tst.ini failed" "$(probe gone)" "main.enabled=1"
probe block-temp off

close_program
