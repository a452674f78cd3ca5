#!/usr/bin/env bash
# Installs, from Debian's packages, whatever of the named package groups is missing on this machine.
# Usage: install-deps.sh build|test|bench...
# apt's own output goes to a log file (shown when the installation fails); the screen gets one line.
set -euo pipefail
source "$(dirname "$0")/phase.sh"

packages=()
for group in "$@"; do
  case "$group" in
    # qt6-image-formats-plugins: the command line's TIFF, WebP, MNG and WBMP readers; libtiff-dev: the
    # checks before Qt's TIFF reader; libspng-dev: the PNG reader, found through pkg-config.
    build) packages+=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core
                      qt6-image-formats-plugins libtiff-dev libspng-dev pkg-config) ;;
    # libqt6svg6: Qt's SVG reader, so that the test of a refused drawing meets one. dbus, at-spi2-core,
    # python3-gi and gir1.2-atspi-2.0: the real-window test reads the file dialog as a screen reader does.
    # clang-format: the format check. zlib1g-dev compresses the crafted PNGs of the decoding test. clang,
    # the ARM cross libraries and qemu-user-static: the 32-bit builds' tests (x86 and ARM; Debian's ARM
    # cross gcc would remove g++-multilib); gcc-arm-none-eabi: the decoder's Cortex-M0 size.
    test) packages+=(libgtest-dev libgmock-dev googletest g++-multilib xvfb xauth xdotool openbox wmctrl dpkg-dev file
                     lintian man-db libqt6svg6 qemu-user-static dbus at-spi2-core python3-gi gir1.2-atspi-2.0
                     clang-format zlib1g-dev clang libc6-dev-armhf-cross libstdc++-12-dev-armhf-cross
                     binutils-arm-linux-gnueabihf gcc-arm-none-eabi) ;;
    # valgrind: bench/instructions.sh counts instructions with its callgrind. libjpeg-turbo-progs: djpeg,
    # the baseline of bench/fit.sh. lz4, python3 and bc: bench/compression.sh.
    bench) packages+=(hyperfine imagemagick libjpeg-turbo-progs time valgrind lz4 python3 bc) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "install-deps.sh: unknown group '$group'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "Debian packages for $*: all installed"
  exit 0
fi
install_missing() {
  DEBIAN_FRONTEND=noninteractive apt-get update &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}
run_phase "Installing ${#missing[@]} Debian packages for $* (${missing[*]})" "${TMPDIR:-/tmp}/vandrel-install-deps.log" \
  install_missing
