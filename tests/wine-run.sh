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
if [ ! -f "$WINEPREFIX/.velmar-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.velmar-ready" ]; then
      wineboot -i </dev/null >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.velmar-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
[ "${1:-}" != --prepare ] || exit 0
exec wine "$@"
