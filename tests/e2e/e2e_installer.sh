#!/bin/sh
# The installer in a fresh Wine prefix: a silent installation for the user,
# the program started from the installed folder, an update it downloads and
# whose installer it starts, and the uninstaller with and without the user's
# data: e2e_installer.sh SCENARIO BINDIR (scenario: install).
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"
installers="$bin/../installer"
export WINEPREFIX="$work/prefix"
# Every process of the prefix ends with the test.
trap 'st=$?; wineserver -k >/dev/null 2>&1 || true; (exit $st); cleanup' EXIT
probe() { "$run" "$bin/window_probe.exe" "$@"; }
line() { tr -d '\r' < "$1" | sed -n "s/^$2=//p"; }
key="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VelmarPro"
registered() { "$run" reg query "$key" /v DisplayVersion 2>/dev/null | tr -d '\r' | awk '/DisplayVersion/ {print $3}'; }
until_true() {  # until_true WHAT COMMAND...: bounded wait for a condition
  what=$1
  shift
  i=0
  until "$@"; do
    i=$((i + 1))
    [ $i -le 150 ] || fail "$what"
    sleep 0.2
  done
}
gone() { [ ! -e "$1" ]; }
there() { [ -e "$1" ]; }

[ "$scenario" = install ] || fail "unknown scenario"
[ -f "$installers/VelmarPro-setup.exe" ] || fail "no installer built"

# A silent installation: no administrator, the user's local programs folder.
"$run" "$installers/VelmarPro-setup.exe" /S
dir=$(find "$WINEPREFIX/drive_c/users" -maxdepth 5 -type d -path '*/AppData/Local/Programs/VelmarPro' | head -1)
[ -n "$dir" ] || fail "nothing installed under the user's local programs folder"
for f in VelmarPro.exe Uninstall.exe Table TableFormat.txt; do there "$dir/$f" || fail "$f not installed"; done
echo "ok: installed into $dir"
# Every standard table comes with the program, without a server.
for table in "$here"/../../tables/*.table; do
  cmp -s "$table" "$dir/Table/${table##*/}" || fail "standard table ${table##*/} not installed"
done
expect "registered version" "$(registered)" "1.1.1.190"
menu=$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/VelmarPro.lnk' | head -1)
[ -n "$menu" ] || fail "no Start menu entry"

# The site offers a newer build: the silent installer, with its size and digest.
mkdir -p site/zo_velmar
cp "$installers/VelmarPro-setup-silent.exe" site/zo_velmar/setup.exe
background python3 "$here/serve.py" "$work/site" port.txt requests.log
until_true "the web server did not start" there port.txt
server="http://127.0.0.1:$(cat port.txt)"
printf '[VelmarPro]\r\nVer=191\r\nFullVer=1.1.1.191\r\nURL=%s/zo_velmar/setup.exe\r\nDesc=Update\r\nSaveName=VelmarPro-setup.exe\r\nBytes=%s\r\nSHA256=%s\r\n' \
  "$server" "$(stat -c %s site/zo_velmar/setup.exe)" "$(sha256sum site/zo_velmar/setup.exe | cut -d' ' -f1)" \
  > site/zo_velmar/versions.ini
# The user's data beside the program: settings and a table of their own.
printf '[Velmar]\r\nServer=%s\r\n' "$server" > "$dir/VelmarPro.dat"
printf 'mine' > "$dir/Table/mine.table"
# The standard tables as an earlier version left them: one as that version
# shipped it, one the user changed, one missing.
cp "$here/tables/kazakh-latin-2021.table.2025" "$dir/Table/kazakh-latin-2021.table"
printf 'Щ=X\r\n' >> "$dir/Table/ru-iso-9.table"
cp "$dir/Table/ru-iso-9.table" edited.table
rm "$dir/Table/by-2007.table"
# The update's installer writes these again.
rm "$dir/Uninstall.exe"
"$run" reg delete "$key" /f >/dev/null 2>&1 || fail "the registration could not be removed"

# The program runs from the installed folder, offers the update, downloads it,
# starts its installer and closes; the installer replaces the program.
"$run" "$dir/VelmarPro.exe" -autorun >/dev/null 2>&1 &
last=$!
pids="$pids $last"
probe update 60000 1 > update.txt || fail "no update window: $(cat update.txt)"
cat update.txt
wait_exit "$last"
expect "exit code after the update started" "$exit_status" 0
until_true "the update's installer did not run" there "$dir/Uninstall.exe"
expect "installer downloads" "$(grep -c '^/zo_velmar/setup.exe' requests.log)" 1
tr -d '\r' < "$dir/VelmarPro.dat" | grep -q "^Server=$server" || fail "the settings were not kept"
expect "the user's table kept" "$(cat "$dir/Table/mine.table")" mine
# The update brings the standard tables the user never changed and keeps the
# changed one, with the new version beside it where the program does not load it.
for table in kazakh-latin-2021 by-2007; do
  cmp -s "$here/../../tables/$table.table" "$dir/Table/$table.table" || fail "$table.table not brought up to date"
done
cmp -s edited.table "$dir/Table/ru-iso-9.table" || fail "the user's change of ru-iso-9.table was overwritten"
cmp -s "$here/../../tables/ru-iso-9.table" "$dir/Table/ru-iso-9.table.new" || fail "no new ru-iso-9.table beside the user's"
[ ! -e "$dir/Table/kazakh-latin-2021.table.new" ] || fail "a new version beside a table the user never changed"
echo "ok: the update replaced the shipped tables and kept the user's change"
# Its last step is the size in the registration.
sized() { "$run" reg query "$key" /v EstimatedSize >/dev/null 2>&1; }
until_true "the update's installer did not finish" sized

# Uninstalling leaves only the user's data; asked to, it removes that too.
"$run" "$dir/Uninstall.exe" /S
until_true "the uninstaller left the program" gone "$dir/VelmarPro.exe"
until_true "the uninstaller left itself" gone "$dir/Uninstall.exe"
# The standard tables go after the program, by its helper, which goes last;
# the one the user changed is the user's and stays.
until_true "the uninstaller left its table helper" gone "$dir/table_upgrade.exe"
expect "what is left" "$(cd "$dir" && find . -type f | sort | tr '\n' ' ')" \
  "./Table/mine.table ./Table/ru-iso-9.table ./VelmarPro.dat "
cmp -s edited.table "$dir/Table/ru-iso-9.table" || fail "the uninstaller changed the user's ru-iso-9.table"
expect "registration after uninstall" "$(registered)" ""
gone "$menu" || fail "the Start menu entry stays"
"$run" "$installers/VelmarPro-setup.exe" /S
there "$dir/VelmarPro.exe" || fail "not installed again"
"$run" "$dir/Uninstall.exe" /S /PURGE
until_true "the uninstaller with /PURGE left the folder" gone "$dir"
echo "ok: uninstalled, the user's data removed on request"
