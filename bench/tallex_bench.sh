#!/usr/bin/env bash
# Response extraction of one response with 1,000,000 node values against awk
# summing the same value lines, in one run (alternately, best of three, warm
# file cache); and the catalogue of a result list with 10,000 results, per
# result.
#   bench/tallex_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bench_init tallex_bench "${1:-}"

read -r first last < <("$driver" answers "$work" 1000000)
extract() { "$driver" extract "$work"; }
awk_sum() {
  awk -v a="$first" -v b="$last" 'NR>=a && NR<=b {s+=$1} END {print s}' "$work/tallexResults.out"
}
read -r awk_ms extract_ms < <(best 3 awk_sum extract)
extract | grep -q "values=1000000" || { echo "extraction lost values" >&2; exit 1; }

"$driver" list "$work" 10000
catalogue=$("$driver" catalogue "$work")

printf 'extraction %6d ms   awk sum   %6d ms   ratio %5.2f (target <= 2)\n' \
  "$extract_ms" "$awk_ms" "$(ratio "$extract_ms" "$awk_ms")"
echo "catalogue of 10,000 results: $(echo "$catalogue" | field microseconds_per_result) microseconds per result"
