#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: an optimised build, and a build
# under the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build test

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
(cd build && ctest --output-on-failure --timeout 300)

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANDREL_SANITIZE=ON
cmake --build build-sanitize
# Leak checking stays on whatever the environment says; undefined behaviour is reported with a stack.
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure --timeout 600)
