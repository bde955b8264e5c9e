#!/usr/bin/env bash
# Builds the deliverables and the tests of every preset and copies the
# deliverables into out/:
#   out/win32/koxstub.exe  out/win32/kox.lib     the 32-bit engine and archive library
#   out/win64/...                                the same sources built for x86_64 (test vehicle)
#   out/host/koxbuild                            the package builder for Linux
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${KOX_JOBS:-2}

for preset in host win32 win64; do
  echo "== build $preset" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

copy() {  # copy BUILD-FOLDER FILE-NAME TO-FOLDER: the copy nearest the build folder's top
  local found
  found=$(find "$1" -name "$2" -type f -not -path '*/CMakeFiles/*' -not -path '*/work/*' \
          | awk '{ print length($0) " " $0 }' | sort -n | head -n 1 | cut -d' ' -f2-)
  if [ -z "$found" ]; then echo "build: $2 not found in $1" >&2; return 1; fi
  mkdir -p "$3"
  cp "$found" "$3/"
}
for arch in win32 win64; do
  copy "build/$arch" koxstub.exe "out/$arch"
  copy "build/$arch" kox.lib "out/$arch"
  copy "build/$arch" koxbuild.exe "out/$arch"
done
copy build/host koxbuild out/host
echo "build: deliverables in $root/out" >&2
