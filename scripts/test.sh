#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   host preset  platform-neutral unit tests (ASan + UBSan) and fuzz corpus replays
#   Windows      unit and end-to-end tests under Wine, inside a private Xvfb display:
#                the 32-bit build where this machine can run 32-bit programs,
#                otherwise the x86_64 build of the same sources
# Ends with one line "N passed, N failed" and a non-zero exit on any failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ "$(id -u)" = 0 ]; then
  scripts/bootstrap.sh || { echo "test: bootstrap failed"; echo "0 passed, 1 failed"; exit 1; }
else
  echo "test: not root, skipping the package installation" >&2
  scripts/wine-prefix.sh ensure
fi
if ! scripts/build.sh; then
  echo "test: the build failed"
  echo "0 passed, 1 failed"
  exit 1
fi
source scripts/wine-env.sh

passed=0
failed=0
count() {  # adds the counts of a ctest log
  local line total bad
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  total=$(echo "$line" | sed -E 's/.* failed out of ([0-9]+).*/\1/')
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

logs=$(mktemp -d)
echo "== host tests" >&2
ctest --preset host --timeout 600 -j 2 2>&1 | tee "$logs/host.log" | grep -E 'Failed|\*\*\*|tests passed' >&2
count "$logs/host.log"

if [ "$KOX_WINE32_OK" = 1 ]; then win=win32; else
  win=win64
  echo "test: this machine cannot run 32-bit programs; running the Windows tests on the x86_64 build" >&2
fi
echo "== $win tests under Wine" >&2
scripts/with-display.sh ctest --preset "$win" --timeout 900 2>&1 | tee "$logs/$win.log" | grep -E 'Failed|\*\*\*|tests passed' >&2
count "$logs/$win.log"

if [ "$failed" -gt 0 ]; then
  echo "test: failing tests:" >&2
  grep -hE '\(Failed\)|\*\*\*(Failed|Timeout|Exception)' "$logs"/*.log >&2 || true
fi
rm -rf "$logs"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
