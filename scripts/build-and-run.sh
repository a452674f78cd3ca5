#!/usr/bin/env bash
# Installs what is missing, builds the window program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

# The window needs a screen to show on. Say so now, not after minutes of building.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MESSAGE'
build-and-run.sh: no display. Vandrel is a desktop program: run this command inside a desktop
session (or over "ssh -X"), where DISPLAY or WAYLAND_DISPLAY is set.
To try the window on a machine without a display, serve it over VNC and connect a VNC viewer to
port 5900 of this machine:
    QT_QPA_PLATFORM=vnc:size=1024x768 bash scripts/build-and-run.sh
The command-line converter needs no display: bash scripts/build-and-test.sh builds it too.
MESSAGE
  exit 1
fi

bash scripts/install-deps.sh build
# Every option is given, so whatever an earlier command left in this folder's cache does not count.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANDREL_BUILD_APP=ON -DVANDREL_BUILD_TESTS=OFF \
  -DVANDREL_SANITIZE=OFF -DVANDREL_FUZZ=OFF
cmake --build build
exec ./build/app/vandrel
