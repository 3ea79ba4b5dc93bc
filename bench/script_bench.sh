#!/usr/bin/env bash
# Script engine against the plain tools on the same generated file, in one run:
# an output script that finds a marker near the end of a results file
# (GOTO_STRING) and reads the third field of the 1,000,000 table rows after it
# (GET_COLUMN_FREE to EOC), against `grep -n` finding the marker plus `awk`
# printing the same fields; at 100, 200 and 400 MB. Each side runs three times,
# alternately, with a warm file cache and a `sync` before each run; each time is
# the best of its three. Also the engine's peak resident memory against a
# budget of 64 MB plus 16 bytes per line of the file.
#   bench/script_bench.sh [BUILD_DIR]      (default: build)
#   SIZES="100 200" bench/script_bench.sh  (sizes in MB)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bench_init script_bench "${1:-}"

rows=1000000
file="$work/result.txt"
grep_awk() {
  local marker
  marker=$(grep -n -m1 MARKER "$file" | cut -d: -f1)
  awk -v s="$marker" 'NR > s { if (NF < 3) exit; print $3 }' "$file"
}
extract() { "$driver" extract "$file"; }

for megabytes in ${SIZES:-100 200 400}; do
  rm -f "$file"
  "$driver" generate "$file" "$megabytes" $rows > /dev/null
  size_mb=$(( $(stat -c %s "$file") / 1048576 ))
  lines=$(wc -l < "$file")
  read -r tools_ms script_ms < <(best 3 grep_awk extract)
  result=$("$driver" extract "$file")
  reported=$(echo "$result" | field reported)
  peak_mb=$(( $(echo "$result" | field peak_kb) / 1024 ))
  budget_mb=$(( 64 + lines * 16 / 1048576 ))
  printf 'script engine, %3d MB, %7d lines, column of %d values: %5d ms, grep+awk %5d ms, ratio %5.2f (goal <= 1.2); peak RSS %3d MB, budget %3d MB (goal: under)\n' \
    "$size_mb" "$lines" "$reported" "$script_ms" "$tools_ms" "$(ratio "$script_ms" "$tools_ms")" \
    "$peak_mb" "$budget_mb"
done
rm -f "$file"
