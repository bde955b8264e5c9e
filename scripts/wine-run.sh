#!/usr/bin/env bash
# Runs a Windows program under Wine in the test prefix, quietly.
#   KOX_WINEPREFIX  the prefix (default: the 64-bit test prefix)
# Uses the 32-bit loader when this machine can run it, else the 64-bit one
# (a kernel without 32-bit support can only start 64-bit Windows programs).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
exec "$KOX_WINE" "$@"
