#!/usr/bin/env bash
# Drives the built program as a person would, on a virtual X display with a window manager: start it
# with a picture's path as an argument (which it ignores); three times click "Convert BMP", type the
# picture's full path into the file dialog and press Return, clicking the check boxes between the
# presses; check each output's bytes, close the window, check the exit code. The file dialog's file
# types and its read-only box are read as a screen reader reads them, through the accessibility bus:
# the box is ticked at the first press, and a later press that unticks it is cancelled.
# Usage: real_window_test.sh PATH_TO_VANDREL PATH_TO_PYTHON_WITH_ATSPI
set -euo pipefail

program=$(realpath "$1")
python=$2
view_script="$(dirname "$(realpath "$0")")/open_dialog_view.py"
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

# A session bus of its own, on which the accessibility bus starts when first asked for; Qt joins it.
exec {bus_fd}>"$work/bus"
dbus-daemon --session --nofork --nopidfile --print-address="$bus_fd" >"$work/dbus.log" 2>&1 &
pids+=($!)
exec {bus_fd}>&-
wait_for 20 test -s "$work/bus" || fail "dbus-daemon did not start: $(cat "$work/dbus.log")"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 20 wmctrl -m >/dev/null 2>&1 || fail "openbox did not start"

# A 1 x 1 picture of 24 bits per pixel whose pixel is white, and what each press must write from it:
# the raw colour stream with the size prefix (height 0 1, width 0 1, then 63 63 63), the array text,
# and the raw stream without the size.
mkdir "$work/pictures" "$work/start"
input="$work/pictures/white.bmp"
printf 'BM\x3a\0\0\0\0\0\0\0\x36\0\0\0' >"$input"
printf '\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' >>"$input"
printf '\xff\xff\xff\0' >>"$input"
[ "$(stat -c %s "$input")" = 58 ] || fail "test picture is not 58 bytes"
printf '\0\x01\0\x01\x3f\x3f\x3f' >"$work/sized.bmc"
printf '\nconst unsigned char pic[]={ 0,1,0,1,63,63,63 };\n' >"$work/array.h"
printf '\x3f\x3f\x3f' >"$work/unsized.bmc"

(cd "$work/start" && exec "$program" "$input") >"$work/vandrel.log" 2>&1 &
app=$!
pids+=("$app")

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Vandrel$' | head -n 1) ||
  fail "the window did not appear"
[ -n "$window" ] || fail "the window did not appear"
# The argument named a picture, yet nothing was converted.
[ "$(ls "$work/pictures")" = white.bmp ] || fail "files appeared without a press: $(ls "$work/pictures")"
[ -z "$(ls "$work/start")" ] || fail "files appeared without a press: $(ls "$work/start")"

# Places within the window's client area: "Convert BMP" stands at 8, 16 and is 83 x 25; "Create .h
# file" at 8, 128 and "Add H+W" at 112, 128 are 97 x 17.
click() { xdotool mousemove --sync --window "$window" "$1" "$2" click 1; }
convert_button() { click 49 28; }
create_h_box() { click 30 136; }
add_size_box() { click 134 136; }

# The program's windows on the screen besides the main window: the dialog and any list it opens.
others_shown() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | grep -vx "$window"; }
only_main_window() { [ -z "$(others_shown)" ]; }
dialog_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$dialog" ]; }
list_shown() { [ -n "$(others_shown | grep -vx "$dialog")" ]; }

# What the open dialog shows: "FILE_TYPE|EVERY,FILE_TYPE|ticked" or "...|unticked".
dialog_shows() {
  local shown
  shown=$("$python" "$view_script" "$app" state) || fail "the file dialog's controls were not found"
  [ "$shown" = "$1" ] || fail "the file dialog shows '$shown', not '$1'"
}
click_read_only_box() {
  # shellcheck disable=SC2046 # the point's two words
  xdotool mousemove --sync $("$python" "$view_script" "$app" box) click 1
}

# Opens the dialog with "Convert BMP", waits for it to take the keyboard and checks what it shows.
open_dialog() {
  convert_button
  dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Open$' | head -n 1) ||
    fail "the file dialog did not open"
  wait_for 20 dialog_active || fail "the file dialog did not become active"
  dialog_shows "$1"
}

# One press of "Convert BMP" as a person makes it once the dialog shows $1: type the picture's full
# path over the selected "Untitled", wait for the completion list it brings up, press Return once.
# Nothing of the dialog may stay on the screen, or the next click would be lost to it. With "tick",
# the read-only box is clicked first.
convert_by_typed_path() {
  open_dialog "$1"
  if [ "${2:-}" = tick ]; then
    click_read_only_box
    dialog_shows "bmp|bmp,All|ticked"
    xdotool key alt+n  # back to the file-name field, its text selected
  fi
  xdotool type --delay 5 "$input"
  wait_for 20 list_shown || fail "no completion list appeared for the typed path"
  xdotool key Return
  wait_for 20 only_main_window || fail "still on the screen after Return: $(others_shown)"
}

# Waits for an output to hold the expected bytes.
expect_output() {
  wait_for 20 cmp -s "$work/pictures/$1" "$work/$2" ||
    fail "$1 differs from $2: $(od -An -tu1 "$work/pictures/$1" 2>&1)"
}

convert_by_typed_path "bmp|bmp,All|unticked" tick
expect_output white.bmc sized.bmc

create_h_box
convert_by_typed_path "bmp|bmp,All|ticked"
expect_output white.h array.h

# Unticked, then cancelled: the next showing is ticked as the last confirmed choice left it.
open_dialog "bmp|bmp,All|ticked"
click_read_only_box
dialog_shows "bmp|bmp,All|unticked"
xdotool key Escape
wait_for 20 only_main_window || fail "still on the screen after Escape: $(others_shown)"

# The window still answers the mouse: both boxes change, and the third output shows it.
create_h_box
add_size_box
convert_by_typed_path "bmp|bmp,All|ticked"
expect_output white.bmc unsized.bmc
[ -z "$(ls "$work/start")" ] || fail "output landed in the starting folder: $(ls "$work/start")"

# Close the window as a desktop does, through the window manager.
wmctrl -i -c "$window"
app_gone() { ! kill -0 "$app" 2>/dev/null; }
wait_for 30 app_gone || fail "the program did not end after its window was closed"
status=0
wait "$app" || status=$?
[ "$status" = 0 ] || fail "exit code $status; output: $(cat "$work/vandrel.log")"
echo "real_window_test: passed"
