#!/usr/bin/env bash
# Builds the demo setup from examples/demo and runs it under Wine, then shows
# the exit code, the trace log and what the run left behind.
#   scripts/demo.sh [--silent | --gui]
# --gui also shows the welcome page as the engine prepares it, under a private
# display, and photographs the screen into demo-out/welcome.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
silent=
gui=
[ "${1:-}" = "--silent" ] && silent=/s
[ "${1:-}" = "--gui" ] && gui=1

if [ "$(id -u)" = 0 ]; then scripts/bootstrap.sh; else scripts/wine-prefix.sh ensure; fi
scripts/build.sh >/dev/null
source scripts/wine-env.sh
if [ "$KOX_WINE32_OK" = 1 ]; then arch=win32; else
  arch=win64
  echo "demo: this machine cannot run 32-bit programs; using the x86_64 build of the engine" >&2
fi

out=$root/demo-out
rm -rf "$out"
mkdir -p "$out"
wixl -o "$out/product.msi" examples/demo/product.wxs
out/host/koxbuild build examples/demo/setup.src -o "$out/setup.exe" \
  --stub "out/$arch/koxstub.exe" --lib "out/$arch/kox.lib" \
  --res-dir examples/demo/files --msi "$out/product.msi"
rm -f "$out/product.msi"
echo "== built $out:"
ls -l "$out"

runner=$(find "build/$arch/tests/e2e" -name kox_run.exe | head -n 1)
winout="Z:${out//\//\\}"
echo "== running setup.exe $silent /l=$winout\\trace.log"
scripts/with-display.sh "$KOX_WINE" "$runner" "$winout\\setup.exe" $silent "/l=$winout\\trace.log"
echo "== trace log"
iconv -f UTF-16LE -t UTF-8 "$out/trace.log"
echo "== support folders left in the temporary folder (an ending after extraction keeps its folder)"
find "$KOX_WINE_ROOT/win64-display/drive_c/users" -maxdepth 4 -iname 'kox[0-9]*' 2>/dev/null || true
echo "== left beside the setup"
ls -l "$out"

if [ -n "$gui" ]; then
  pages=$out/pages
  mkdir -p "$pages"
  cp -r examples/demo/files/. "$pages/"
  for form in "$pages"/*.dfm.txt; do
    out/host/koxbuild form "$form" -o "${form%.txt}"
    rm -f "$form"
  done
  preview=$(find "build/$arch/engine/dialogs" -name kox_dialog_preview.exe | head -n 1)
  winpages="Z:${pages//\//\\}"
  echo "== welcome page: $out/welcome.png"
  KOX_PRIVATE_DISPLAY=1 scripts/with-display.sh bash -c '
    "$KOX_WINE" "$1" "$2" welcome 12 "TITLE=Velmora Demo" "TARGETDIR=C:\Program Files\Velmora Demo" &
    sleep 8
    import -window root "$3"
    wait' shot "$preview" "$winpages" "$out/welcome.png"
  rm -rf "$pages"
  ls -l "$out/welcome.png"
fi
