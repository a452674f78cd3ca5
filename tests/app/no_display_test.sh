#!/usr/bin/env bash
# Starts the built program where no window can be shown, and requires a line that says why and exit
# code 1, not Qt's abort: once with no window system named at all, once with a display that is not there.
# Usage: no_display_test.sh PATH_TO_VANDREL
set -uo pipefail

program=$1
failures=0

# Row: what the environment holds | what the program must say.
while IFS='|' read -r environment expected; do
  # shellcheck disable=SC2086 # the row's variables are separate words
  output=$(env -i $environment "$program" 2>&1 </dev/null)
  status=$?
  if [ "$status" != 1 ] || ! grep -qF -- "$expected" <<<"$output"; then
    echo "no_display_test: with '$environment': exit code $status (1 wanted), output:" >&2
    echo "$output" | sed 's/^/  /' >&2
    failures=$((failures + 1))
  fi
done <<'ROWS'
HOME=/nonexistent|vandrel: no display to show the window on: neither DISPLAY nor WAYLAND_DISPLAY is set.
HOME=/nonexistent DISPLAY=:4093|vandrel: the window system did not start, so no window can be shown (DISPLAY=":4093"
ROWS

[ "$failures" = 0 ] && echo "no_display_test: passed"
exit $((failures > 0))
