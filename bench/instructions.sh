#!/usr/bin/env bash
# Instructions vandrel-convert executes (valgrind's callgrind) for every pixel layout, blue-first wiring
# and dithering in both formats on a 1024 x 1024 bench picture: a figure that the machine's load does
# not change, for comparing builds on a shared machine. Never part of the tests.
# Usage: bash bench/instructions.sh [BEFORE_PROGRAM]   (counts an earlier build beside this one)
# Builds the Release vandrel-convert in build-bench/ first; work files go to $VANDREL_BENCH_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
work=${VANDREL_BENCH_DIR:-/tmp/vandrel-bench}
before=${1:-}
source bench/build_program.sh
g++ -O2 -std=c++20 -Wall -Wextra -Wpedantic -o "$build/make_picture" bench/make_picture.cpp
mkdir -p "$work"
in=$work/p1024.bmp
[ -f "$in" ] || "$build/make_picture" 1024 1024 "$in"

# Instructions of one run, in millions.
count() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 |
    awk '/Collected/ { printf "%.1f", $4 / 1e6 }'
}

variants=("" "--bgr" "--layout rgb666-high" "--layout rgb565" "--layout rgb565-le" "--layout rgb565 --bgr"
  "--dither" "--layout rgb565 --dither")
header="| format | options | instructions (millions) |"
rule="|---|---|---|"
[ -n "$before" ] && header="| format | options | before (millions) | after (millions) | after / before |" &&
  rule="|---|---|---|---|---|"
printf '%s\n%s\n' "$header" "$rule"
for format in bmc h; do
  format_option=""
  [ "$format" = h ] && format_option=--header
  for options in "${variants[@]}"; do
    # shellcheck disable=SC2086
    after=$(count "$build/cli/vandrel-convert" $format_option $options -o "$work/out.$format" "$in")
    if [ -n "$before" ]; then
      # shellcheck disable=SC2086
      earlier=$(count "$before" $format_option $options -o "$work/out.$format" "$in")
      ratio=$(awk -v a="$after" -v b="$earlier" 'BEGIN { printf "%.3f", a / b }')
      echo "| $format | ${options:-(default layout)} | $earlier | $after | $ratio |"
    else
      echo "| $format | ${options:-(default layout)} | $after |"
    fi
  done
done
rm -f "$work"/out.*
