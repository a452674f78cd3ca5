#!/usr/bin/env bash
# Sizes of the compressed stream (--compress rle) beside the raw pixels, plain run-length coding of
# whole pixels (runs and literals of 1 to 128 pixels, one byte of count each, at its smallest) and
# lz4 -9 of the same raw bytes, on a logo, an interface picture and a photo-like picture made here
# with ImageMagick. Never part of the tests.
# Usage: bash bench/compression.sh [LAYOUT]   (default rgb565)
# Pictures and outputs go to $VANDREL_BENCH_DIR (default /tmp/vandrel-compression), never into the repo.
set -euo pipefail
cd "$(dirname "$0")/.."
layout=${1:-rgb565}
work=${VANDREL_BENCH_DIR:-/tmp/vandrel-compression}

source bench/build_program.sh
mkdir -p "$work"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# A logo: a flat background, a ring, a bar and a word, edges smoothed.
/usr/bin/convert -size 160x80 xc:'#f4f4f4' -fill '#d02030' -draw 'circle 40,40 40,8' -fill '#f4f4f4' \
  -draw 'circle 40,40 40,20' -fill '#203060' -draw 'rectangle 80,50 150,58' -font "$font" -pointsize 22 \
  -fill '#203060' -annotate +80+40 'Vandrel' "$work/logo.png"
# An interface: a title bar, a side menu of repeated entries, panels, buttons with labels, a list of
# rows, a slider and a status line.
args=(-size 480x320 xc:'#1e2228' -font "$font" -pointsize 13
  -fill '#2d6cdf' -draw 'rectangle 0,0 479,27' -fill white -annotate +10+19 'Settings - Display'
  -fill '#262b33' -draw 'rectangle 0,28 119,319')
for i in 0 1 2 3 4 5; do
  y=$((40 + i * 34))
  args+=(-fill '#323844' -draw "rectangle 8,$y 111,$((y + 26))" -fill '#c8ccd4' -annotate "+16+$((y + 18))" "Menu item $((i + 1))")
done
args+=(-fill '#2a2f38' -draw 'rectangle 132,40 468,150' -fill '#e0e4ea' -annotate +144+62 'Brightness'
  -fill '#3a404c' -draw 'rectangle 144,80 456,88' -fill '#2d6cdf' -draw 'rectangle 144,80 330,88'
  -fill white -draw 'circle 330,84 330,92')
for i in 0 1 2; do
  x=$((144 + i * 108))
  args+=(-fill '#2d6cdf' -draw "roundrectangle $x,106 $((x + 96)),136 6,6" -fill white -annotate "+$((x + 22))+126" "Button $((i + 1))")
done
args+=(-fill '#2a2f38' -draw 'rectangle 132,162 468,296')
for i in 0 1 2 3 4; do
  y=$((168 + i * 25))
  args+=(-fill '#313743' -draw "rectangle 138,$y 462,$((y + 20))" -fill '#c8ccd4' -annotate "+146+$((y + 15))" "List entry $((i + 1))    value $((i * 17 + 3))")
done
args+=(-fill '#15181c' -draw 'rectangle 0,304 479,319' -fill '#8a909a' -pointsize 11 -annotate +8+316 'Ready')
/usr/bin/convert "${args[@]}" "$work/interface.png"
# The same interface with unsmoothed text and shapes, as small displays' bitmap fonts draw it.
/usr/bin/convert +antialias "${args[@]}" "$work/interface-sharp.png"
# A photo-like picture: fractal plasma, softened.
/usr/bin/convert -size 480x320 -seed 7 plasma:fractal -blur 0x1.5 "$work/photo.png"

# The least plain run-length coding of whole pixels takes, over the raw bytes of $2-byte pixels.
plain_rle() {
  python3 - "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read(); bpp = int(sys.argv[2])
px = [data[i:i + bpp] for i in range(0, len(data), bpp)]
n = len(px); least = [0] + [None] * n; same = 0
for end in range(1, n + 1):
    same = same + 1 if end > 1 and px[end - 1] == px[end - 2] else 1
    best = None
    for k in range(1, min(128, end) + 1):
        c = least[end - k] + (1 + bpp if k <= same else 1 + k * bpp)
        if best is None or c < best: best = c
    least[end] = best
print(least[n])
PY
}

bpp=2
case "$layout" in rgb666*) bpp=3 ;; esac
printf '%-16s %9s %12s %9s %9s %8s\n' picture raw plain-rle lz4-9 vrle vrle/lz4
for name in logo interface interface-sharp photo; do
  "$program" --layout "$layout" --no-size -o "$work/$name.raw" "$work/$name.png"
  "$program" --layout "$layout" --compress rle -o "$work/$name.bmc" "$work/$name.png"
  lz4 -9 -q -f "$work/$name.raw" "$work/$name.lz4"
  raw=$(stat -c %s "$work/$name.raw")
  lz4=$(stat -c %s "$work/$name.lz4")
  vrle=$(stat -c %s "$work/$name.bmc")
  printf '%-16s %9d %12d %9d %9d %8.2f\n' "$name" "$raw" "$(plain_rle "$work/$name.raw" $bpp)" "$lz4" "$vrle" \
    "$(echo "$vrle / $lz4" | bc -l)"
done
