#!/usr/bin/env bash
# Builds the bitmap module and its tests that need no Qt for the host's 32-bit target (-m32), where
# size_t is 32 bits, and runs them. Needs the Debian packages g++-multilib and googletest; installs
# nothing itself.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S tests/bitmap32 -B build-m32 -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-m32
(cd build-m32 && ctest --output-on-failure --no-tests=error --timeout 300)
