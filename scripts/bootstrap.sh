#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine
# (run as root), then prepares the Wine prefixes the tests use. Safe to run again:
# every step checks first and does nothing when its result is already there.
set -euo pipefail

log() { echo "bootstrap: $*" >&2; }

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64 wine32:i386 libwine:i386
  xvfb xauth x11-utils imagemagick
  msitools wixl 7zip
)

missing=()
have_i386=$(dpkg --print-foreign-architectures | grep -c '^i386$' || true)
if [ "$have_i386" = 0 ]; then
  log "adding the i386 architecture"
  dpkg --add-architecture i386
  need_update=1
fi
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  log "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine prefixes: a 64-bit default prefix (our 32-bit programs run under WOW64
# there, as on 64-bit Windows) and a 32-bit one for the cases that need it.
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/wine-prefix.sh" ensure
