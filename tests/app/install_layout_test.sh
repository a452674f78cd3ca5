#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that a Linux desktop would find the program:
# the executable, its 32 x 32 icon and a desktop entry that names both.
# Usage: install_layout_test.sh BUILD_DIR
set -euo pipefail

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
  echo "install_layout_test: $*" >&2
  exit 1
}

cmake --install "$1" --prefix "$prefix" >/dev/null

[ -x "$prefix/bin/vandrel" ] || fail "bin/vandrel missing"
icon="$prefix/share/icons/hicolor/32x32/apps/vandrel.png"
[ -f "$icon" ] || fail "icon missing"
# PNG signature, then the header chunk's width and height, both 32.
[ "$(od -An -tx1 -N24 "$icon" | tr -d ' \n')" = 89504e470d0a1a0a0000000d494844520000002000000020 ] ||
  fail "icon is not a 32 x 32 PNG"

entry="$prefix/share/applications/vandrel.desktop"
[ -f "$entry" ] || fail "desktop entry missing"
for line in '[Desktop Entry]' 'Type=Application' 'Name=Vandrel' 'Exec=vandrel' 'Icon=vandrel'; do
  grep -qxF "$line" "$entry" || fail "desktop entry lacks '$line'"
done
echo "install_layout_test: passed"
