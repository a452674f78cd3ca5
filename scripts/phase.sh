# Sourced by the project's commands: each step shows one line on screen, while the tools' own output
# goes to a log file whose last lines are shown only when the step fails.

# Usage: run_phase "WHAT IS DONE" LOG_FILE COMMAND [ARGUMENTS...]
# Ends the calling script with the command's exit code when it fails.
run_phase() {
  local label=$1 log=$2
  shift 2
  mkdir -p "$(dirname "$log")"
  printf '%s ... ' "$label"
  local start=$SECONDS status=0
  "$@" >"$log" 2>&1 || status=$?
  if [ "$status" = 0 ]; then
    echo "done ($((SECONDS - start)) s)"
    return 0
  fi
  echo "FAILED (exit code $status)"
  echo "Last lines of $log:"
  tail -n 60 "$log" | sed 's/^/  /'
  exit "$status"
}
