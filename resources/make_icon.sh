#!/usr/bin/env bash
# Draws the program icon (a gilt picture frame around a small evening landscape) and packs
# it at the usual icon sizes. Run by hand when the artwork changes; the .ico is committed.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
/usr/bin/convert -size 256x256 xc:none \
  -fill '#7a4a1c' -draw 'roundrectangle 8,8 247,247 18,18' \
  -fill '#d9a441' -draw 'roundrectangle 18,18 237,237 12,12' \
  -fill '#8a5a24' -draw 'rectangle 34,34 221,221' \
  \( -size 176x176 gradient:'#2b3f8c-#f29a4a' \) -geometry +40+40 -composite \
  -fill '#ffe27a' -draw 'circle 160,110 160,132' \
  -fill '#27462f' -draw 'polygon 40,216 90,140 130,190 165,150 216,216' \
  -fill '#1b2f22' -draw 'polygon 40,216 70,180 110,216' \
  "$tmp/icon256.png"
for s in 16 24 32 48 64; do
  /usr/bin/convert "$tmp/icon256.png" -resize ${s}x${s} "$tmp/icon$s.png"
done
/usr/bin/convert "$tmp/icon16.png" "$tmp/icon24.png" "$tmp/icon32.png" "$tmp/icon48.png" \
  "$tmp/icon64.png" "$tmp/icon256.png" solvane7.ico
