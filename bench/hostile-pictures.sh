#!/usr/bin/env bash
# Wall time and peak memory of "codewerk decode" on each hostile picture, as a table.
# Usage: bench/hostile-pictures.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
corpus="$build/hostile-corpus"
rm -rf "$corpus"
mapfile -t files < <("$build/bin/make_hostile_pictures" "$corpus")
printf '| %-40s | %6s | %8s | %10s |\n' file status "wall (s)" "peak (MB)"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..42})" "--------" "----------" "------------"
for f in "${files[@]}"; do
  report=$(mktemp)
  set +e
  /usr/bin/time -v -o "$report" "$build/bin/codewerk" decode "$f" > /dev/null 2>&1
  status=$?
  set -e
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$report" | awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; printf "%.2f", s }')
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$report" | awk '{ printf "%.0f", $1 / 1024 }')
  rm -f "$report"
  printf '| %-40s | %6s | %8s | %10s |\n' "$(basename "$f")" "$status" "$wall" "$peak"
done
rm -rf "$corpus"
