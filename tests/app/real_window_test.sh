#!/usr/bin/env bash
# Drives the built program as a person would, on a virtual X display with a window manager: start it
# with a picture's path as an argument (which it ignores), click "Convert BMP", type the picture's path
# into the file dialog, press Return, check the output's bytes, close the window, check the exit code.
# Usage: real_window_test.sh PATH_TO_VANDREL
set -euo pipefail

program=$(realpath "$1")
work=$(mktemp -d)
pids=()

cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "real_window_test: $*" >&2
  exit 1
}

# Polls a command until it succeeds, for at most the given number of seconds.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

# Xvfb picks a free display itself and reports its number.
exec {display_fd}>"$work/display"
Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec {display_fd}>&-
wait_for 20 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"

# A desktop of its own: no settings of the person running the tests are read or written.
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
# Only used by sanitizer builds.
export LSAN_OPTIONS="suppressions=$(dirname "$(realpath "$0")")/lsan_suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 20 wmctrl -m >/dev/null 2>&1 || fail "openbox did not start"

# A 1 x 1 picture of 24 bits per pixel whose pixel is white, and what its raw colour stream with the
# size prefix must hold: height 0 1, width 0 1, then 63 63 63.
mkdir "$work/pictures" "$work/start"
input="$work/pictures/white.bmp"
output="$work/pictures/white.bmc"
printf 'BM\x3a\0\0\0\0\0\0\0\x36\0\0\0' >"$input"
printf '\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' >>"$input"
printf '\xff\xff\xff\0' >>"$input"
printf '\0\x01\0\x01\x3f\x3f\x3f' >"$work/expected.bmc"
[ "$(stat -c %s "$input")" = 58 ] || fail "test picture is not 58 bytes"

(cd "$work/start" && exec "$program" "$input") >"$work/vandrel.log" 2>&1 &
app=$!
pids+=("$app")

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Vandrel$' | head -n 1) ||
  fail "the window did not appear"
[ -n "$window" ] || fail "the window did not appear"
# The argument named a picture, yet nothing was converted.
[ "$(ls "$work/pictures")" = white.bmp ] || fail "files appeared without a press: $(ls "$work/pictures")"
[ -z "$(ls "$work/start")" ] || fail "files appeared without a press: $(ls "$work/start")"

# "Convert BMP" stands at 8, 16 and is 83 x 25 within the window's client area.
xdotool mousemove --sync --window "$window" 49 28 click 1

dialog_open() { [ -n "$(xdotool search --onlyvisible --name '^Open$' 2>/dev/null)" ]; }
dialog_closed() { ! dialog_open; }
wait_for 30 dialog_open || fail "the file dialog did not open"
dialog=$(xdotool search --onlyvisible --name '^Open$' | head -n 1)
xdotool windowactivate --sync "$dialog"

# The file-name field has the focus and shows "Untitled" selected, so typing replaces it.
xdotool type --delay 5 "$input"
# The first Return may only close the field's completion list; press again until the dialog is gone.
for _ in 1 2 3 4 5; do
  dialog_open || break
  xdotool key Return
  wait_for 3 dialog_closed && break
done
dialog_closed || fail "the file dialog did not close"

wait_for 30 cmp -s "$output" "$work/expected.bmc" ||
  fail "output differs: $(od -An -tu1 "$output" 2>&1)"
[ -z "$(ls "$work/start")" ] || fail "output landed in the starting folder: $(ls "$work/start")"

# Close the window as a desktop does, through the window manager.
wmctrl -i -c "$window"
app_gone() { ! kill -0 "$app" 2>/dev/null; }
wait_for 30 app_gone || fail "the program did not end after its window was closed"
status=0
wait "$app" || status=$?
[ "$status" = 0 ] || fail "exit code $status; output: $(cat "$work/vandrel.log")"
echo "real_window_test: passed"
