#!/usr/bin/env bash
# Builds the bitmap module with its Qt-free tests and the firmware decoder's tests for 32-bit ARM
# (arm-linux-gnueabihf, with clang and Debian's ARM cross libraries) and runs them under qemu-user-static.
# Usage: arm-tests.sh [BUILD_DIR]   (default build-arm)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-arm}
cmake -S tests/bitmap32 -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANDREL_M32=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/arm-linux-gnueabihf.cmake"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure --no-tests=error --timeout 600
