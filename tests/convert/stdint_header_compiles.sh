#!/bin/sh
# Test: the stdint headers the converter writes compile without a warning as C99 and as C++17, five of
# them included in one file, and hold the values worked out by hand.
# Usage: stdint_header_compiles.sh MAKER PROGRAM.c WORK_FOLDER   (exit 77: no gcc or g++ here, skipped)
set -eu
maker=$1 program=$2 work=$3
command -v gcc >/dev/null && command -v g++ >/dev/null || { echo "gcc or g++ missing"; exit 77; }
rm -rf "$work"
mkdir -p "$work"
"$maker" "$work"
flags="-Wall -Wextra -pedantic -Werror -I$work"
# shellcheck disable=SC2086
gcc -std=c99 $flags -o "$work/use_c" "$program"
# shellcheck disable=SC2086
g++ -std=c++17 $flags -x c++ -o "$work/use_cxx" "$program"
"$work/use_c"
"$work/use_cxx"
echo "both programs compiled cleanly and read the expected values"
