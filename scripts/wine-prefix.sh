#!/usr/bin/env bash
# Creates the Wine prefixes the tests use, once:
#   $KOX_WINE_ROOT/win64  64-bit prefix (the default; 32-bit programs run under WOW64)
#   $KOX_WINE_ROOT/win64-display  the same, for runs inside a display (with-display.sh)
#   $KOX_WINE_ROOT/win32  32-bit prefix, only where this machine can run 32-bit Wine
# Each gets "Managed"=N for the X11 driver, so closing a top-level window does not
# wait for a window manager that Xvfb does not have.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

make_prefix() {
  local prefix=$1 arch=$2 loader=$3
  if [ -f "$prefix/.kox-ready" ]; then return 0; fi
  echo "wine-prefix: creating $prefix ($arch)" >&2
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  WINEPREFIX=$prefix WINEARCH=$arch "$loader" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX=$prefix "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  [ -f "$prefix/system.reg" ] || { echo "wine-prefix: failed to create $prefix" >&2; return 1; }
  touch "$prefix/.kox-ready"
}

case "${1:-ensure}" in
  ensure)
    make_prefix "$KOX_WINE_ROOT/win64" win64 /usr/lib/wine/wine64
    make_prefix "$KOX_WINE_ROOT/win64-display" win64 /usr/lib/wine/wine64
    if [ "$KOX_WINE32_OK" = 1 ]; then
      make_prefix "$KOX_WINE_ROOT/win32" win32 /usr/lib/wine/wine
    else
      echo "wine-prefix: this machine cannot run 32-bit Wine; no 32-bit prefix" >&2
    fi
    ;;
  *) echo "usage: $0 [ensure]" >&2; exit 2 ;;
esac
