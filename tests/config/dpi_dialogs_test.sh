#!/usr/bin/env bash
# The configuration dialog at 100%, 150% and 200% (96, 144 and 192 DPI) on a screen large
# enough for it, in a prefix of its own; the pictures stay in <build>/screenshots as PNGs.
#   dpi_dialogs_test.sh BUILD_DIR
set -euo pipefail
build=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/scripts/lib/display.sh"
start_xvfb 2560x1440x24
trap stop_xvfb EXIT
shots="$build/screenshots"
mkdir -p "$shots"
# The built installation, so the dialog shows its themes and gradients.
install="Z:$(echo "$build/install_root" | tr / '\\')"
SOLVANE_WINEPREFIX="$build/dpi-prefix" "$top/cmake/wine-run" reg add \
  'HKLM\Software\Korrin Software\Solvane 7.0' /v InstallPath /d "$install" /f >/dev/null
status=0
for dpi in 96 144 192; do
  "$top/scripts/lib/at-dpi.sh" "$dpi" "$build/dpi-prefix" \
    "$build/tests/config/dpi_dialog_check.exe" "$build/install_root/Solvane7.scr" "$dpi" \
    "Z:$shots" || status=1
  if [ -f "$shots/settings-$dpi.bmp" ]; then
    convert "$shots/settings-$dpi.bmp" -alpha off "$shots/settings-$dpi.png"
    rm "$shots/settings-$dpi.bmp"
  fi
done
exit $status
