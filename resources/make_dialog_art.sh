#!/usr/bin/env bash
# Draws the configuration dialog's side logo and header strip (our own artwork: an evening
# sky with three small picture frames, and the product name). Run by hand when the artwork
# changes; the .bmp files are committed.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Side logo: 144 x 512, stretched to the dialog's height by the dialog itself.
/usr/bin/convert -size 144x512 gradient:'#1d2b66-#e8894a' \
  -fill '#f7d774' -draw 'circle 72,330 72,352' \
  -fill '#203a2a' -draw 'polygon 0,512 0,430 40,400 80,440 120,395 144,415 144,512' \
  -fill none -stroke '#d9a441' -strokewidth 4 \
  -draw 'rectangle 30,120 114,184' -draw 'rectangle 22,200 66,236' \
  -draw 'rectangle 78,200 122,236' \
  -stroke none -fill '#f2e6c8' -font DejaVu-Serif-Bold -pointsize 22 \
  -gravity north -annotate +0+470 'Solvane 7' \
  -type TrueColor "BMP3:$tmp/logo.bmp"
cp "$tmp/logo.bmp" ts_logo.bmp

# Header strip: 1000 x 66, drawn over the top of the side logo.
/usr/bin/convert -size 66x1000 gradient:'#12183a-#2f3f8f' -rotate -90 \
  -fill '#d9a441' -draw 'rectangle 0,62 1000,65' \
  -fill none -stroke '#d9a441' -strokewidth 3 \
  -draw 'rectangle 18,12 66,50' -draw 'rectangle 26,20 58,42' \
  -stroke none -fill '#f2e6c8' -font DejaVu-Serif-Bold -pointsize 28 \
  -annotate +84+42 'Solvane ScreenSaver 7.0' \
  -fill '#b8c4ee' -font DejaVu-Sans -pointsize 13 \
  -annotate +490+40 'your pictures, framed in light' \
  -type TrueColor "BMP3:$tmp/header.bmp"
cp "$tmp/header.bmp" ts_header.bmp
