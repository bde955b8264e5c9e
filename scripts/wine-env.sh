# Sourced by the scripts that use Wine. Sets:
#   KOX_WINE_ROOT    folder of the test prefixes
#   WINEPREFIX       the prefix to use (KOX_WINEPREFIX, else the 64-bit one)
#   KOX_WINE         the loader to start programs with
#   KOX_WINE32_OK    1 when 32-bit programs can run on this machine
export KOX_WINE_ROOT=${KOX_WINE_ROOT:-/var/tmp/kox-wine}
export WINEPREFIX=${KOX_WINEPREFIX:-$KOX_WINE_ROOT/win64}
export WINEDEBUG=${WINEDEBUG:--all}
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  export KOX_WINE32_OK=1 KOX_WINE=/usr/lib/wine/wine
else
  export KOX_WINE32_OK=0 KOX_WINE=/usr/lib/wine/wine64
  export WINELOADER=/usr/lib/wine/wine64
fi
