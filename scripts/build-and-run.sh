#!/usr/bin/env bash
# Installs what is missing, builds the window program and starts it. Each step shows one line; its
# tools' output goes to a log in build/logs/, shown when it fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/phase.sh

# The window needs a screen to show on. Say so now, not after minutes of building. The window's
# frame stands at 789, 134 and measures 241 x 188, so a VNC screen must be at least 1030 x 322.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MESSAGE'
build-and-run.sh: no display. Vandrel is a desktop program: run this command inside a desktop
session (or over "ssh -X"), where DISPLAY or WAYLAND_DISPLAY is set.
To try the window on a machine without a display, serve it over VNC and connect a VNC viewer to
port 5900 of this machine:
    QT_QPA_PLATFORM=vnc:size=1280x1024 bash scripts/build-and-run.sh
The command-line converter needs no display: bash scripts/build-and-test.sh builds it too.
MESSAGE
  exit 1
fi

bash scripts/install-deps.sh build
# Every option is given, so whatever an earlier command left in this folder's cache does not count.
run_phase "Configuring build" build/logs/configure.log cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVANDREL_BUILD_APP=ON -DVANDREL_BUILD_TESTS=OFF -DVANDREL_SANITIZE=OFF -DVANDREL_FUZZ=OFF
run_phase "Building build" build/logs/build.log cmake --build build
echo "Starting build/app/vandrel"
exec ./build/app/vandrel
