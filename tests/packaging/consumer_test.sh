#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds consumer/ against it with find_package(Vandrel):
# the arrays and the raw colour stream it gets, re-conversion when the picture changes, and the
# function's complaints about a wrong call.
# Usage: consumer_test.sh BUILD_DIR CMAKE GENERATOR
set -euo pipefail

build_dir=$1
cmake=$2
generator=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "consumer_test: $*" >&2
  exit 1
}
# Prints a command's log only when it fails, so that a passing run stays quiet.
run_logged() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "failed: $*"; }
}
bytes() {
  for b in "$@"; do printf "\\x$(printf %02x "$b")"; done
}

run_logged "$work/install.log" "$cmake" --install "$build_dir" --prefix "$work/prefix"
cp -r "$here/consumer" "$work/src"

# A 4 x 2 picture whose channels lose different low bits. A BMP keeps its rows bottom-up, each pixel
# as blue, green, red; a row of 12 bytes needs no padding.
{
  bytes 66 77 78 0 0 0 0 0 0 0 54 0 0 0                      # "BM", file size, offset of the pixels
  bytes 40 0 0 0 4 0 0 0 2 0 0 0 1 0 24 0 0 0 0 0 24 0 0 0   # 4 x 2, 24 bits, uncompressed
  bytes 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0
  bytes 0 0 0 255 255 255 12 8 4 130 5 250                   # bottom row: black, white, (4,8,12), (250,5,130)
  bytes 0 128 255 3 2 1 51 34 17 50 100 200                  # top row: (255,128,0), (1,2,3), (17,34,51), (200,100,50)
} >"$work/src/logo.bmp"
# A name whose extension is not three letters long: outputs are named by the program's rule.
cp "$work/src/logo.bmp" "$work/src/icon.jpeg"

run_logged "$work/configure.log" "$cmake" -S "$work/src" -B "$work/build" -G "$generator" \
  -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_BUILD_TYPE=Release
grep -qxF "Vandrel_DIR:PATH=$work/prefix/share/cmake/Vandrel" "$work/build/CMakeCache.txt" ||
  fail "find_package(Vandrel) did not take the scratch prefix's package"
run_logged "$work/build.log" "$cmake" --build "$work/build"

# Size prefix 0,2,0,4 (height, then width), then the pixels from the top row down. rgb666 keeps each
# channel's top six bits; rgb565 packs (r>>3)<<11 | (g>>2)<<5 | b>>3 into two bytes, high first.
expected="logo_666 0 2 0 4 63 32 0 0 0 0 4 8 12 50 25 12 0 0 0 63 63 63 1 2 3 62 1 32
logo_565 0 2 0 4 252 0 0 0 17 6 203 38 0 0 255 255 0 65 248 48
logo_rle 252 0 0 0 17 6 203 38 0 0 255 255 0 65 248 48"
got=$("$work/build/show_arrays")
[ "$got" = "$expected" ] || fail "arrays differ: got
$got
expected
$expected"
stream=$(od -An -tu1 -v "$work/build/logo.bmc" | tr -s ' \n' ' ')
[ "$stream" = " 63 32 0 0 0 0 4 8 12 50 25 12 0 0 0 63 63 63 1 2 3 62 1 32 " ] ||
  fail "raw colour stream without size differs:$stream"

# icon.jpeg, at its own size (4x2 with "SIZE 4x"), is named as the program names it beside a picture.
mkdir "$work/beside"
cp "$work/src/icon.jpeg" "$work/beside/"
"$work/prefix/bin/vandrel-convert" --no-size "$work/beside/icon.jpeg" || fail "the program refused icon.jpeg"
made=$(cd "$work/beside" && ls | grep -vxF icon.jpeg)
cmp -s "$work/build/$made" "$work/build/logo.bmc" || fail "icon.jpeg did not become $made like logo.bmc"

# Wrong values stop the build with the program's own message.
for case in "size|option '--size' needs WxH" "fit|unknown fit 'fill'" "filter|unknown filter 'cubic'" \
  "rotate|unknown rotation '45'" "flip|unknown flip 'sideways'" "style|unknown C style 'arduino'" \
  "attribute|the attribute 'x=1' holds '='" "compress|unknown compression 'lz4'"; do
  if "$cmake" --build "$work/build" --target "refused_${case%%|*}" >"$work/refused.log" 2>&1; then
    fail "refused_${case%%|*} was built"
  fi
  grep -qF "${case#*|}" "$work/refused.log" || { cat "$work/refused.log" >&2; fail "no '${case#*|}'"; }
done

# Nothing changed: no conversion runs. The picture changed: every conversion of it runs again.
"$cmake" --build "$work/build" >"$work/again.log" 2>&1 || { cat "$work/again.log" >&2; fail "rebuild failed"; }
! grep -q Converting "$work/again.log" || fail "an unchanged picture was converted again"
touch "$work/src/logo.bmp"
"$cmake" --build "$work/build" >"$work/touched.log" 2>&1 || { cat "$work/touched.log" >&2; fail "rebuild failed"; }
for output in logo.h logo_565.h logo.bmc; do
  grep -qF "Converting logo.bmp into $output" "$work/touched.log" ||
    fail "$output was not made again after the picture changed"
done

# Wrong calls stop the configuration with a message that names the fault.
config="$work/prefix/share/cmake/Vandrel/VandrelAddPicture.cmake"
wrong_call() {
  local call=$1 message=$2
  printf 'include(%s)\n%s\n' "$config" "$call" >"$work/wrong.cmake"
  if "$cmake" -P "$work/wrong.cmake" >"$work/wrong.log" 2>&1; then fail "accepted: $call"; fi
  tr -s ' \n' ' ' <"$work/wrong.log" | grep -qF "$message" || {
    cat "$work/wrong.log" >&2
    fail "no '$message' for: $call"
  }
}
wrong_call 'vandrel_add_picture(fw logo.bmp HEADER SCALE 2)' "unknown argument 'SCALE 2'"
wrong_call 'vandrel_add_picture(fw logo.bmp LAYOUT NAME logo)' "LAYOUT needs a value"
wrong_call 'vandrel_add_picture(fw logo.bmp HEADER OUTPUT)' "OUTPUT needs a value"
wrong_call 'vandrel_add_picture(fw HEADER logo.bmp)' "give the target, then the picture"
echo "consumer_test: passed"
