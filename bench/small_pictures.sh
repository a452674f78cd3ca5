#!/usr/bin/env bash
# Start-up cost of vandrel-convert on many small pictures: 100 pictures of 64 x 64 as BMP and as PNG,
# one process per picture against one process for the whole batch, for the program as it is and for
# the program of an earlier commit (default b295b82, before Qt was linked). Never part of the tests.
# Usage: bash bench/small_pictures.sh [RUNS [COMMIT]]     (RUNS per case, default 10)
# Builds go to build-bench/ and $VANDREL_BENCH_DIR/before-build; pictures to $VANDREL_BENCH_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-10}
commit=${2:-b295b82}
work=${VANDREL_BENCH_DIR:-/tmp/vandrel-bench}/small

source bench/build_program.sh
after=$program

# The earlier program, from the commit's own files, in a folder of its own.
mkdir -p "$work"
before_src=$work/before-src
if [ ! -f "$before_src/.commit" ] || [ "$(cat "$before_src/.commit")" != "$commit" ]; then
  rm -rf "$before_src" && mkdir -p "$before_src"
  git archive "$commit" | tar -x -C "$before_src"
  echo "$commit" > "$before_src/.commit"
fi
cmake -S "$before_src" -B "$work/before-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVANDREL_BUILD_TESTS=OFF -DVANDREL_BUILD_APP=OFF >&2
cmake --build "$work/before-build" -j2 --target vandrel-convert >&2
before=$work/before-build/cli/vandrel-convert

g++ -O2 -std=c++20 -o "$build/make_picture" bench/make_picture.cpp
mkdir -p "$work/bmp" "$work/png"
if [ ! -f "$work/png/p99.png" ]; then
  for i in $(seq -w 0 99); do "$build/make_picture" 64 64 "$work/bmp/p$i.bmp"; done
  (cd "$work/bmp" && mogrify -path ../png -format png ./*.bmp)
fi

# Outputs go beside the pictures, as a build script would have them; each case rewrites them all.
per_picture() { echo "for f in $work/$2/*.$2; do $1 \"\$f\" || exit 1; done"; }
hyperfine --shell=bash --warmup 2 --runs "$runs" --export-markdown "$work/results.md" \
  -n "before: start-up (--version)" "$before --version" \
  -n "after: start-up (--version)" "$after --version" \
  -n "before: 100 BMP, a process each" "$(per_picture "$before" bmp)" \
  -n "after: 100 BMP, a process each" "$(per_picture "$after" bmp)" \
  -n "before: 100 BMP, one process" "$before $work/bmp/*.bmp" \
  -n "after: 100 BMP, one process" "$after $work/bmp/*.bmp" \
  -n "after: 100 PNG, a process each" "$(per_picture "$after" png)" \
  -n "after: 100 PNG, one process" "$after $work/png/*.png" >&2
cat "$work/results.md"
echo "Runs per case: $runs after 2 warm-up runs; before = $commit; load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
