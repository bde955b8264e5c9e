#!/usr/bin/env bash
# Runs a command with an X display for Wine's windows: the current DISPLAY
# when there is one, else a private Xvfb. The wineserver is started inside
# that display (one started without a display makes later windows fail) and
# kept running for the command's duration, so each program starts quickly.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Runs with a display get a prefix of their own, so restarting its wineserver
# inside the display never disturbs other Wine users of the default prefix.
export KOX_WINEPREFIX=${KOX_WINEPREFIX:-${KOX_WINE_ROOT:-/var/tmp/kox-wine}/win64-display}
source "$here/wine-env.sh"

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || [ "${KOX_PRIVATE_DISPLAY:-0}" = 1 ]; then
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    break
  done
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
fi
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1
# The first program of a session starts Wine's own services (winedevice,
# explorer ...). They live on after it, holding whatever output it had, so a
# test runner reading that output would wait for them forever: start them
# here, with their output going nowhere.
"$KOX_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
"$@"
