#!/usr/bin/env bash
# Speed of fitting a phone-sized photo to a small display: a 4032 x 3024 JPEG to 480 x 320 (cover), side
# by side with djpeg decoding the same file alone and ImageMagick doing the same fit, in one hyperfine
# run; the same photo with an orientation tag that turns it a quarter; and the photo converted without
# fitting. Never part of the tests.
# Usage: bash bench/fit.sh [RUNS]      (RUNS per case, default 10)
#        VANDREL_BENCH_BEFORE=/path/to/older/vandrel-convert adds the older program's plain conversion.
# Pictures and outputs go to $VANDREL_BENCH_DIR (default /tmp/vandrel-bench), never into the repo.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-10}
work=${VANDREL_BENCH_DIR:-/tmp/vandrel-bench}
peer=/usr/bin/convert

source bench/build_program.sh
mkdir -p "$work"

photo=$work/photo.jpg
# A seeded plasma, softened: smooth areas and fine detail, as a photo has.
[ -f "$photo" ] || "$peer" -seed 7 -size 4032x3024 plasma:fractal -blur 0x1 -quality 90 "$photo"
# The same photo with an EXIF segment saying "turn a quarter clockwise" (orientation 6) after its start.
turned=$work/photo-turned.jpg
{
  head -c 2 "$photo"
  printf '\xff\xe1\x00\x22Exif\x00\x00MM\x00\x2a\x00\x00\x00\x08\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00\x00\x00\x00\x00'
  tail -c +3 "$photo"
} >"$turned"

cases=(
  -n "djpeg alone" "djpeg -outfile /dev/null $photo"
  -n "vandrel cover" "$program --size 480x320 --fit cover -o $work/out.bmc $photo"
  -n "ImageMagick cover" "$peer $photo -resize 480x320^ -gravity center -extent 480x320 rgb:$work/out.rgb"
  -n "vandrel cover (orientation 6)" "$program --size 480x320 --fit cover -o $work/out.bmc $turned"
  -n "vandrel plain" "$program -o $work/plain.bmc $photo"
)
if [ -n "${VANDREL_BENCH_BEFORE:-}" ]; then
  cases+=(-n "older plain" "$VANDREL_BENCH_BEFORE -o $work/plain.bmc $photo")
fi
hyperfine -N -w 2 -r "$runs" --export-csv "$work/fit.csv" "${cases[@]}" >&2

# Wall and processor time (user + system) of each case, each as a ratio to djpeg's and ImageMagick's.
# hyperfine quotes a name with a comma; none of these has one.
awk -F, 'NR > 1 { name[NR] = $1; wall[NR] = $2; cpu[NR] = $5 + $6; if ($1 == "djpeg alone") d = NR;
                  if ($1 == "ImageMagick cover") m = NR }
  END {
    print "| case | mean s | CPU s | x djpeg (wall, CPU) | x ImageMagick (wall, CPU) |"
    print "|---|---|---|---|---|"
    for (i = 2; i <= NR; ++i)
      printf "| %s | %.3f | %.3f | %.2f, %.2f | %.2f, %.2f |\n", name[i], wall[i], cpu[i],
             wall[i] / wall[d], cpu[i] / cpu[d], wall[i] / wall[m], cpu[i] / cpu[m]
  }' "$work/fit.csv"

for file in "$photo" "$turned"; do
  peak=$(/usr/bin/time -f %M "$program" --size 480x320 --fit cover -o "$work/out.bmc" "$file" 2>&1 >/dev/null)
  echo "Peak memory of the cover fit of $(basename "$file"): $peak KiB (decoded picture: $((4032 * 3024 * 4 / 1024)) KiB)"
done
rm -f "$work"/out.* "$work"/plain.bmc
echo "Runs per case: $runs after two warm-ups; load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
