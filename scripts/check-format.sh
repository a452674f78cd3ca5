#!/usr/bin/env bash
# Fails when any C or C++ file of the repository differs from what clang-format makes of it under
# .clang-format, and shows the first lines of each difference.
# Apply the formatting instead: git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."

command -v clang-format >/dev/null || { echo "check-format.sh: clang-format is missing (bash scripts/install-deps.sh test)" >&2; exit 2; }
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
else
  mapfile -t files < <(find . -path './build*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print | sort)
fi

# One clang-format over every file decides; only the files it names are compared line by line.
if findings=$(clang-format --style=file --dry-run --Werror "${files[@]}" 2>&1); then
  echo "check-format.sh: all ${#files[@]} files formatted"
  exit 0
fi
mapfile -t named < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: error' <<<"$findings" | cut -d: -f1 | sort -u)
[ ${#named[@]} -gt 0 ] || { echo "$findings"; exit 1; }
differing=0 lines=0
for file in "${named[@]}"; do
  difference=$(clang-format --style=file "$file" | diff -u "$file" - || true)
  [ -z "$difference" ] && continue
  differing=$((differing + 1))
  lines=$((lines + $(tail -n +3 <<<"$difference" | grep -c '^[-+]' || true)))
  head -n 20 <<<"$difference"
done
echo "check-format.sh: $differing of ${#files[@]} files differ from $(clang-format --version) ($lines lines)."
echo "Apply it with: git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i"
exit 1
