#!/usr/bin/env bash
# Runs a Windows program in the Wine prefix PREFIX with the screen at DPI dots per inch: the
# prefix's server is restarted, as Wine reads "LogPixels" only when it starts.
#   at-dpi.sh DPI PREFIX PROGRAM [ARGUMENTS...]
set -euo pipefail
dpi=$1 prefix=$2
shift 2
top=$(cd "$(dirname "$0")/../.." && pwd)
export SOLVANE_WINEPREFIX="$prefix" WINEPREFIX="$prefix"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
"$top/cmake/wine-run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
  /d "$dpi" /f >/dev/null
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
status=0
"$top/cmake/wine-run" "$@" || status=$?
wineserver -k 2>/dev/null || true
exit $status
