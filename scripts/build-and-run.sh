#!/usr/bin/env bash
# Installs what is missing, builds the window program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANDREL_BUILD_TESTS=OFF
cmake --build build
exec ./build/app/vandrel
