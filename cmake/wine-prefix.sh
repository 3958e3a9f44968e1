#!/bin/sh
# wine-prefix.sh start|stop: starts or stops the wineserver of the test prefix in $WINEPREFIX.
# "start" leaves a persistent server running, creates or updates the prefix and empties the
# AeDebug debugger: with Wine's default debugger a crashing program exits with code 0, so a
# crashing test would pass. All output goes to /dev/null, since a server that inherits the
# caller's output pipe keeps ctest waiting for it to close.
#
# A prefix created before Wine's 32-bit part (Debian's wine32) was installed is broken once it
# is: every program then fails with "could not load kernel32.dll, status c0000135". "start"
# recreates such a prefix, and one that lacks the 32-bit system folder although wine32 is there.
set -e
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
export WINEPREFIX
export WINEDEBUG=-all
# No Mono or Gecko installer on a fresh prefix: nothing here uses .NET or HTML.
export WINEDLLOVERRIDES="mscoree,mshtml="

wine32_installed() {
  [ -d /usr/lib/i386-linux-gnu/wine/i386-windows ]
}

prefix_works() {
  if wine32_installed && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    return 1
  fi
  wine cmd.exe /c exit 0 >/dev/null 2>&1 </dev/null
}

case "$1" in
  start)
    mkdir -p "$WINEPREFIX"
    # Fails when a server of this prefix already runs (one started by hand): that one serves.
    wineserver -p >/dev/null 2>&1 </dev/null || true
    if [ -f "$WINEPREFIX/system.reg" ] && ! prefix_works; then
      echo "wine-prefix.sh: $WINEPREFIX does not start programs; creating it anew" >&2
      wineserver -k >/dev/null 2>&1 </dev/null || true
      wineserver -w >/dev/null 2>&1 </dev/null || true
      rm -rf "$WINEPREFIX"
      mkdir -p "$WINEPREFIX"
      wineserver -p >/dev/null 2>&1 </dev/null || true
    fi
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
