#!/bin/sh
# wine-prefix.sh start|stop: starts or stops the wineserver of the test prefix in $WINEPREFIX.
# "start" leaves a persistent server running, creates or updates the prefix and empties the
# AeDebug debugger: with Wine's default debugger a crashing program exits with code 0, so a
# crashing test would pass. All output goes to /dev/null, since a server that inherits the
# caller's output pipe keeps ctest waiting for it to close.
set -e
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
export WINEPREFIX
export WINEDEBUG=-all
# No Mono or Gecko installer on a fresh prefix: nothing here uses .NET or HTML.
export WINEDLLOVERRIDES="mscoree,mshtml="

case "$1" in
  start)
    mkdir -p "$WINEPREFIX"
    # Fails when a server of this prefix already runs (one started by hand): that one serves.
    wineserver -p >/dev/null 2>&1 </dev/null || true
    wine wineboot >/dev/null 2>&1 </dev/null
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1 </dev/null
    ;;
  stop)
    wineserver -k >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
    ;;
  *)
    echo "usage: $0 start|stop" >&2
    exit 1
    ;;
esac
