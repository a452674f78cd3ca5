#!/usr/bin/env bash
# Compiles the decoder's implementation for a Cortex-M0 (-Os, Thumb) and fails when its machine code
# outgrows 1 KiB; prints the size of every section it adds to a firmware image.
# Usage: cortex_m0_size.sh INCLUDE_DIR
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#define VANDREL_DECODE_IMPLEMENTATION\n#include "vandrel/decode.h"\n' >"$work/decode.c"
arm-none-eabi-gcc -Os -mcpu=cortex-m0 -mthumb -std=c99 -Wall -Wextra -pedantic -Werror -I "$1" \
  -c "$work/decode.c" -o "$work/decode.o"
arm-none-eabi-size -A "$work/decode.o" | grep -E '^\.(text|data|bss|rodata)'
code=$(arm-none-eabi-size -A "$work/decode.o" | awk '$1 == ".text" { print $2 }')
[ "$code" -le 1024 ] || { echo "decoder code is $code bytes, more than 1 KiB" >&2; exit 1; }
