#!/usr/bin/env bash
# Speed and peak memory of vandrel-convert on 4096 x 4096 and 8192 x 8192 24-bit pictures, each case
# as a ratio against a baseline timed in the same run. Never part of the tests.
# Usage: bash bench/run.sh [RUNS]          (RUNS per case, default 7)
#        bash bench/run.sh layouts [RUNS]  every pixel layout, blue-first wiring and dithering on the
#                                          4096 x 4096 picture, each as a ratio against the default
#                                          layout of the same format
# With VANDREL_BENCH_BEFORE=PROGRAM (an earlier build of vandrel-convert, kept outside build-bench/) the
# layouts mode also times that program, interleaved case by case with this one, each against its own
# default layout: a before-and-after comparison that a change in the machine's load falls on alike.
# Pictures and outputs go to $VANDREL_BENCH_DIR (default /tmp/vandrel-bench), never into the repo.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=formats
if [ "${1:-}" = layouts ]; then
  mode=layouts
  shift
fi
runs=${1:-7}
default_sizes="4096 8192"
[ "$mode" = layouts ] && default_sizes=4096
sizes=${VANDREL_BENCH_SIZES:-$default_sizes}
work=${VANDREL_BENCH_DIR:-/tmp/vandrel-bench}
peer=/usr/bin/convert

source bench/build_program.sh
for tool in make_picture measure; do
  g++ -O2 -std=c++20 -Wall -Wextra -Wpedantic -o "$build/$tool" "bench/$tool.cpp"
done
measure=$PWD/$build/measure
mkdir -p "$work"

# "wall cpu peak-KiB" of one run, after the dirty pages of earlier runs have gone to disk so that no
# run pays for another's writeback. Outputs are removed first: truncating them is not timed.
run_once() {
  rm -f "$work"/out.* "$work"/copy "$work"/zeros
  sync
  "$measure" "$@"
}

# "median min max" of the numbers on standard input.
stats() {
  sort -n | awk '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.3f %.3f %.3f\n", m, v[1], v[NR] }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# The layouts mode: the same picture through every layout, wiring and dithering, interleaved in rounds
# with the default layout it is compared with.
if [ "$mode" = layouts ]; then
  variants=("default::" "bgr::--bgr" "rgb666-high::--layout rgb666-high" "rgb565::--layout rgb565"
    "rgb565-le::--layout rgb565-le" "rgb565 bgr::--layout rgb565 --bgr" "dither::--dither"
    "rgb565 dither::--layout rgb565 --dither")
  programs=(this)
  declare -A program_of=([this]=$program)
  if [ -n "${VANDREL_BENCH_BEFORE:-}" ]; then
    programs+=(before)
    program_of[before]=$VANDREL_BENCH_BEFORE
  fi
  table="| picture | format | options | median s | min s | max s | ratio to default (medians) | CPU median s | CPU ratio |"$'\n'
  table+="|---|---|---|---|---|---|---|---|---|"$'\n'
  for size in $sizes; do
    in=$work/p$size.bmp
    [ -f "$in" ] || "$build/make_picture" "$size" "$size" "$in"
    for format in bmc h; do
      format_option=""
      [ "$format" = h ] && format_option=--header
      declare -A wall=() cpu=()
      count=${#variants[@]}
      for ((round = 0; round <= runs; ++round)); do
        # Each round starts one case later, so that no case always follows the same one.
        for ((i = 0; i < count; ++i)); do
          variant=${variants[(round + i) % count]}
          for who in "${programs[@]}"; do
            name="$who ${variant%%::*}"
            # shellcheck disable=SC2086
            read -r w c _ < <(run_once "${program_of[$who]}" $format_option ${variant#*::} -o "$work/out.$format" "$in")
            ((round == 0)) && continue
            wall[$name]+="$w"$'\n'
            cpu[$name]+="$c"$'\n'
          done
        done
      done
      for who in "${programs[@]}"; do
        read -r base_wall _ _ < <(printf '%s' "${wall[$who default]}" | stats)
        read -r base_cpu _ _ < <(printf '%s' "${cpu[$who default]}" | stats)
        for variant in "${variants[@]}"; do
          name="$who ${variant%%::*}"
          read -r m lo hi < <(printf '%s' "${wall[$name]}" | stats)
          read -r cm _ _ < <(printf '%s' "${cpu[$name]}" | stats)
          options=${variant#*::}
          label=${options:-(default layout)}
          [ "$who" = before ] && label="before: $label"
          table+="| $size | $format | $label | $m | $lo | $hi | $(ratio "$m" "$base_wall") | $cm | $(ratio "$cm" "$base_cpu") |"$'\n'
        done
      done
      unset wall cpu
    done
  done
  rm -f "$work"/out.*
  printf '%s\n' "$table"
  echo "Runs per case: $runs after one warm-up round; load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
  exit 0
fi

table="| case | median s | min s | max s | ratio (medians) | CPU median s | CPU ratio |"$'\n'
table+="|---|---|---|---|---|---|---|"$'\n'
memory="| picture | input KiB | peak RSS bmc KiB | peak RSS h KiB | limit (input + 16 MiB) KiB |"$'\n'
memory+="|---|---|---|---|---|"$'\n'
for size in $sizes; do
  in=$work/p$size.bmp
  [ -f "$in" ] || "$build/make_picture" "$size" "$size" "$in"
  "$program" --header -o "$work/out.h" "$in"
  header_bytes=$(stat -c %s "$work/out.h")

  declare -A commands=(
    [copy]="dd if=$in of=$work/copy bs=64k status=none"
    [bmc]="$program -o $work/out.bmc $in"
    [zeros]="dd if=/dev/zero of=$work/zeros bs=64k count=$header_bytes iflag=count_bytes status=none"
    [h]="$program --header -o $work/out.h $in"
    [peer]="$peer $in rgb:$work/out.rgb"
  )
  declare -A wall=() cpu=() peak=()
  order="copy bmc zeros h peer"
  # Rounds interleave the cases, so a change in the machine's load falls on all of them alike;
  # round 0 only warms the page cache.
  for ((round = 0; round <= runs; ++round)); do
    for name in $order; do
      # shellcheck disable=SC2086
      read -r w c p < <(run_once ${commands[$name]})
      ((round == 0)) && continue
      wall[$name]+="$w"$'\n'
      cpu[$name]+="$c"$'\n'
      ((p > ${peak[$name]:-0})) && peak[$name]=$p
    done
  done

  declare -A med=() cmed=() row=()
  for name in $order; do
    read -r m lo hi < <(printf '%s' "${wall[$name]}" | stats)
    read -r cm _ _ < <(printf '%s' "${cpu[$name]}" | stats)
    med[$name]=$m
    cmed[$name]=$cm
    row[$name]="$m | $lo | $hi"
  done
  line() { table+="| $size $1 | ${row[$2]} | $3 | ${cmed[$2]} | $4 |"$'\n'; }
  line "copy, dd bs=64k (baseline)" copy "1" "1"
  line "bmc" bmc "$(ratio "${med[bmc]}" "${med[copy]}") x copy, $(ratio "${med[bmc]}" "${med[peer]}") x peer" \
    "$(ratio "${cmed[bmc]}" "${cmed[copy]}") x copy, $(ratio "${cmed[bmc]}" "${cmed[peer]}") x peer"
  line "write $header_bytes zero bytes, dd bs=64k (baseline)" zeros "1" "1"
  line "h" h "$(ratio "${med[h]}" "${med[zeros]}") x zeros, $(ratio "${med[h]}" "${med[peer]}") x peer" \
    "$(ratio "${cmed[h]}" "${cmed[zeros]}") x zeros, $(ratio "${cmed[h]}" "${cmed[peer]}") x peer"
  line "peer: convert in.bmp rgb:out" peer "" ""

  input_kib=$(( $(stat -c %s "$in") / 1024 ))
  memory+="| $size x $size | $input_kib | ${peak[bmc]} | ${peak[h]} | $((input_kib + 16384)) |"$'\n'
  unset commands wall cpu peak med cmed row
done
rm -f "$work"/out.* "$work"/copy "$work"/zeros

printf '%s\n%s\n' "$table" "$memory"
echo "Runs per case: $runs after one warm-up round; load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
