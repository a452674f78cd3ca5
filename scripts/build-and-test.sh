#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then builds and runs every test: an optimised build,
# a build under the address and undefined-behaviour sanitizers, and the bitmap module with the firmware
# decoder built for 32 bits (x86 and ARM).
# Each step shows one line; its tools' output goes to a log in the build folder, shown when it fails.
# ctest's own lines are shown in full, followed by every skipped test or case with its reason.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/phase.sh
bash scripts/install-deps.sh build test
run_phase "Checking the formatting" "${TMPDIR:-/tmp}/vandrel-check-format.log" bash scripts/check-format.sh

# Configures and builds folder $1 from source folder $2 with the cache options $3...
configure_and_build() {
  local folder=$1 source=$2
  shift 2
  run_phase "Configuring $folder" "$folder/logs/configure.log" cmake -S "$source" -B "$folder" -G Ninja "$@"
  run_phase "Building $folder" "$folder/logs/build.log" cmake --build "$folder"
}

# Runs the tests of build folder $1 with ctest options $2..., fails when it ran none, and lists every
# test that did not run and every test case that was skipped, with the reason each gives.
run_tests() {
  local folder=$1 status=0
  shift
  echo "Testing $folder:"
  ctest --test-dir "$folder" --output-on-failure --no-tests=error --output-junit "$PWD/$folder/logs/tests.xml" \
    --test-output-size-passed 4000000 --test-output-size-failed 4000000 "$@" ||
    status=$?
  if [ -f "$folder/logs/tests.xml" ]; then python3 scripts/list_skipped_tests.py "$folder/logs/tests.xml"; fi
  return "$status"
}

# Every option is given, so whatever an earlier command left in a folder's cache does not count.
configure_and_build build-test . -DCMAKE_BUILD_TYPE=Release -DVANDREL_BUILD_APP=ON -DVANDREL_BUILD_TESTS=ON \
  -DVANDREL_SANITIZE=OFF -DVANDREL_FUZZ=OFF
run_tests build-test --timeout 300

configure_and_build build-sanitize . -DCMAKE_BUILD_TYPE=Debug -DVANDREL_BUILD_APP=ON -DVANDREL_BUILD_TESTS=ON \
  -DVANDREL_SANITIZE=ON -DVANDREL_FUZZ=OFF
# Sanitizer reports go to files, as standard error is not always where a report can be seen (decoding
# silences it), and any report fails the run. Leak checking stays on whatever the environment says.
# GCC's undefined-behaviour runtime writes to standard error whatever its log_path says when it runs
# beside the address sanitizer, so it aborts: a silenced report still ends the process by a signal,
# which no test takes for an ordinary refusal.
reports="$PWD/build-sanitize/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
status=0
ASAN_OPTIONS="detect_leaks=1:log_path=$reports/asan" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:abort_on_error=1:log_path=$reports/ubsan" \
  run_tests build-sanitize --timeout 600 || status=$?
bash scripts/check-sanitizer-reports.sh "$reports" || status=1
[ "$status" = 0 ] || exit "$status"

# The bitmap module and its tests that need no Qt, built for 32 bits (size_t of 32 bits, as on the
# 32-bit ARM boards many users run), with GoogleTest built from its source package for that target.
# The tests run under qemu's user emulation, since some kernels run no 32-bit x86 program at all.
configure_and_build build-m32 tests/bitmap32 -DCMAKE_BUILD_TYPE=Release -DVANDREL_M32=ON
run_tests build-m32 --timeout 300

# The same tests and the firmware decoder's, built for 32-bit ARM with clang and Debian's ARM cross
# libraries, and run under qemu-user-static.
configure_and_build build-arm tests/bitmap32 -DCMAKE_BUILD_TYPE=Release -DVANDREL_M32=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/arm-linux-gnueabihf.cmake"
run_tests build-arm --timeout 600
