#!/usr/bin/env bash
# Makes the README's pictures of fitting with the program itself; ImageMagick only draws the scene and
# lays the previews side by side. Usage: bash docs/make_fit_pictures.sh PATH/TO/vandrel-convert
set -euo pipefail
program=$(realpath "$1")
magick=/usr/bin/convert
docs=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$magick" -size 400x300 gradient:'#3a6fd8-#bfe3ff' \
  -fill '#ffd54a' -draw 'circle 300,80 300,115' \
  -fill '#2f7d32' -draw 'ellipse 110,330 230,120 180,360' \
  -fill '#4caf50' -draw 'ellipse 330,340 200,110 180,360' \
  -fill '#6d4c41' -draw 'rectangle 86,170 100,230' -fill '#1b5e20' -draw 'circle 93,160 93,128' \
  -fill white -draw 'ellipse 150,70 50,18 0,360' -draw 'ellipse 185,60 40,20 0,360' scene.png
"$program" --size x80 -o out.bmc --preview scene.bmp scene.png
for fit in contain cover stretch; do
  "$program" --size 160x80 --fit "$fit" --background 202020 -o out.bmc --preview "$fit.bmp" scene.png
done
"$magick" -background white scene.bmp contain.bmp cover.bmp stretch.bmp -bordercolor white -border 6 \
  +append -strip "$docs/fit-modes.png"

"$magick" -size 2x2 xc:black -fill white -draw 'point 1,0' -draw 'point 0,1' -write mpr:tile +delete \
  -size 96x96 tile:mpr:tile checker.png
"$magick" checker.png -crop 48x48+0+0 +repage checker48.png
"$magick" -size 48x48 'xc:rgb(128,128,128)' naive.png
"$program" -o out.bmc --preview checker48.bmp checker48.png
"$program" --size 48x48 -o out.bmc --preview halved.bmp checker.png
"$program" -o out.bmc --preview naive.bmp naive.png
"$magick" -background white checker48.bmp halved.bmp naive.bmp -bordercolor white -border 6 +append -strip \
  "$docs/checker-halved.png"
