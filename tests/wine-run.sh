#!/bin/sh
# Runs a Windows program under Wine, in a Wine prefix of the build's own that
# is created once (wineboot takes seconds) and shared by every test.
# `wine-run.sh --prepare` only makes sure the prefix exists.
here=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:=$here/build/wineprefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono/Gecko installers: the programs need neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# The tests' X server has no window manager: Wine is told to place its windows
# itself. A window it leaves to a manager makes it wait two seconds for one
# each time the window hides (a message box closing, a window minimised to
# the tray), and keyboard focus is then Wine's own doing either way.
ready() { [ -f "$WINEPREFIX/.velmar-ready" ] && grep -qs '^"Managed"="N"' "$WINEPREFIX/user.reg"; }
if ! ready; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if ! ready; then
      [ -f "$WINEPREFIX/.velmar-ready" ] || wineboot -i </dev/null >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.velmar-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
[ "${1:-}" != --prepare ] || exit 0
exec wine "$@"
