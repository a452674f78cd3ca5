#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: an optimised build, a build under the
# address and undefined-behaviour sanitizers, and the bitmap module built for 32 bits (x86 and ARM).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build test

# Runs the tests of build folder $1 with ctest options $2..., fails when it ran none, and lists every
# test case that was skipped, so that nothing left out passes unseen.
run_tests() {
  local folder=$1
  shift
  ctest --test-dir "$folder" --output-on-failure --no-tests=error "$@"
  local skipped
  skipped=$(grep -hE '^\[  SKIPPED \] .* \([0-9]+ ms\)$|^SKIP   : ' "$folder/Testing/Temporary/LastTest.log" | sort -u || true)
  if [ -n "$skipped" ]; then
    echo "Test cases skipped in $folder:"
    echo "$skipped" | sed 's/^/  /'
  fi
}

# Every option is given, so whatever an earlier command left in a folder's cache does not count.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANDREL_BUILD_APP=ON -DVANDREL_BUILD_TESTS=ON \
  -DVANDREL_SANITIZE=OFF -DVANDREL_FUZZ=OFF
cmake --build build-test
run_tests build-test --timeout 300

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANDREL_BUILD_APP=ON -DVANDREL_BUILD_TESTS=ON \
  -DVANDREL_SANITIZE=ON -DVANDREL_FUZZ=OFF
cmake --build build-sanitize
# Leak checking stays on whatever the environment says; undefined behaviour is reported with a stack.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_tests build-sanitize --timeout 600

# The bitmap module and its tests that need no Qt, built for 32 bits (size_t of 32 bits, as on the
# 32-bit ARM boards many users run), with GoogleTest built from its source package for that target.
cmake -S tests/bitmap32 -B build-m32 -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANDREL_M32=ON
cmake --build build-m32
run_tests build-m32 --timeout 300

# The same bitmap tests and the firmware decoder's, built for 32-bit ARM and run under qemu-user-static.
bash scripts/arm-tests.sh build-arm
