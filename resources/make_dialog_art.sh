#!/usr/bin/env bash
# Draws the configuration dialog's side logo and header strip (our own artwork: an evening
# sky with three small picture frames, and the product name). Run by hand when the artwork
# changes; the .bmp files are committed.
# Both are drawn at twice the size they have on a 96-DPI screen (the logo 168 x 560, the
# header 1000 x 66 there): the dialog scales them evenly to its own size, so they stay sharp at
# 150% and 200% and keep their proportions. The logo fills its column and the dialog's height
# by cutting what is too much off its sides and its top (sky, under the header).
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
s=2
# px N...: the 96-DPI measures N, at the master's scale.
px() { local out=() v; for v in "$@"; do out+=($((v * s))); done; echo "${out[*]}"; }
pt() { local a b; read -r a b <<<"$(px "$1" "$2")"; echo "$a,$b"; }

read -r lw lh <<<"$(px 168 560)"
/usr/bin/convert -size "${lw}x${lh}" gradient:'#1d2b66-#e8894a' \
  -fill '#f7d774' -draw "circle $(pt 84 378) $(pt 84 400)" \
  -fill '#203a2a' \
  -draw "polygon $(pt 0 560) $(pt 0 478) $(pt 46 448) $(pt 93 488) $(pt 140 443) $(pt 168 463) $(pt 168 560)" \
  -fill none -stroke '#d9a441' -strokewidth "$(px 4)" \
  -draw "rectangle $(pt 42 168) $(pt 126 232)" -draw "rectangle $(pt 34 248) $(pt 78 284)" \
  -draw "rectangle $(pt 90 248) $(pt 134 284)" \
  -stroke none -fill '#f2e6c8' -font DejaVu-Serif-Bold -pointsize "$(px 22)" \
  -gravity north -annotate "+0+$(px 518)" 'Solvane 7' \
  -type TrueColor "BMP3:$tmp/logo.bmp"
cp "$tmp/logo.bmp" ts_logo.bmp

# Header strip, drawn over the top of the side logo; the dialog carries its right end on to
# its own right edge.
read -r hw hh <<<"$(px 1000 66)"
/usr/bin/convert -size "${hh}x${hw}" gradient:'#12183a-#2f3f8f' -rotate -90 \
  -fill '#d9a441' -draw "rectangle $(pt 0 62) $(pt 1000 65)" \
  -fill none -stroke '#d9a441' -strokewidth "$(px 3)" \
  -draw "rectangle $(pt 18 12) $(pt 66 50)" -draw "rectangle $(pt 26 20) $(pt 58 42)" \
  -stroke none -fill '#f2e6c8' -font DejaVu-Serif-Bold -pointsize "$(px 28)" \
  -annotate "+$(px 84)+$(px 42)" 'Solvane ScreenSaver 7.0' \
  -fill '#b8c4ee' -font DejaVu-Sans -pointsize "$(px 13)" \
  -annotate "+$(px 490)+$(px 40)" 'your pictures, framed in light' \
  -type TrueColor "BMP3:$tmp/header.bmp"
cp "$tmp/header.bmp" ts_header.bmp
