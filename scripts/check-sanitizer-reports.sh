#!/usr/bin/env bash
# Fails, printing them, when the sanitizers left any report in folder $1 (their log_path folder).
# Usage: check-sanitizer-reports.sh FOLDER
set -euo pipefail

folder=$1
mapfile -t found < <(find "$folder" -type f | sort)
if [ ${#found[@]} -eq 0 ]; then
  echo "Sanitizer reports: none"
  exit 0
fi
echo "Sanitizer reports: ${#found[@]}, each from one process of the tests:"
for report in "${found[@]}"; do
  echo "--- $report"
  cat "$report"
done
exit 1
