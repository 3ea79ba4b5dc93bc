#!/usr/bin/env bash
# Script engine against the plain tools on the same generated file, in one run:
# an output script that finds a marker near the end of a 200 MB results file
# (GOTO_STRING) and reads the third field of the 1,000,000 table rows after it
# (GET_COLUMN_FREE to EOC), against `grep -n` finding the marker plus `awk`
# printing the same fields. Each side runs three times, alternately, with a
# warm file cache and a `sync` before each run; each time is the best of its three. Also the engine's peak
# resident memory against the file's size.
#   bench/script_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bench_init script_bench "${1:-}"

rows=1000000
file="$work/result.txt"
"$driver" generate "$file" 200 $rows > /dev/null
size_kb=$(( $(stat -c %s "$file") / 1024 ))
cat "$file" > /dev/null  # warm the cache for both sides

grep_awk() {
  local marker
  marker=$(grep -n -m1 MARKER "$file" | cut -d: -f1)
  awk -v s="$marker" 'NR > s { if (NF < 3) exit; print $3 }' "$file"
}
extract() { "$driver" extract "$file"; }
read -r tools_ms script_ms < <(best 3 grep_awk extract)
result=$("$driver" extract "$file")
reported=$(echo "$result" | field reported)
peak_kb=$(echo "$result" | field peak_kb)
printed=$(grep_awk | wc -l)

echo "file: $((size_kb / 1024)) MB, column of ${rows} rows after the marker (script: ${reported} values, awk: ${printed} fields)"
printf 'script %5d ms   grep+awk %5d ms   ratio %5.2f (target <= 2)\n' \
  "$script_ms" "$tools_ms" "$(ratio "$script_ms" "$tools_ms")"
printf 'peak RSS %d MB for a %d MB file: %4.2f of the file size (target <= 1.3)\n' \
  "$((peak_kb / 1024))" "$((size_kb / 1024))" "$(ratio "$peak_kb" "$size_kb")"
