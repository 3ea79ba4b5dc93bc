#!/usr/bin/env bash
# Response extraction of one response with 1,000,000 node values against awk
# summing the same value lines, in one run (best of three, warm file cache); and
# the catalogue of a result list with 10,000 results, per result.
#   bench/tallex_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
driver="$build/bin/tallex_bench"
[ -x "$driver" ] || { echo "build first: scripts/build.sh release" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

best_of_three() {
  local best=""
  for _ in 1 2 3; do
    local start end t
    start=$(date +%s.%N); "$@" > "$work/out"; end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  printf '%.3f' "$best"
}

read -r first last < <("$driver" answers "$work" 1000000)
extract_time=$(best_of_three "$driver" extract "$work")
awk_time=$(best_of_three awk -v a="$first" -v b="$last" 'NR>=a && NR<=b {s+=$1} END {print s}' \
  "$work/tallexResults.out")
"$driver" extract "$work" | grep -q "values=1000000" || { echo "extraction lost values" >&2; exit 1; }

"$driver" list "$work" 10000
catalogue=$("$driver" catalogue "$work")

printf 'extraction %6.3f s   awk sum   %6.3f s   ratio %5.2f (target <= 2)\n' \
  "$extract_time" "$awk_time" "$(echo "$extract_time / $awk_time" | bc -l)"
echo "catalogue of 10,000 results: $(echo "$catalogue" | sed -n 's/.*microseconds_per_result=\([^ ]*\).*/\1/p') microseconds per result"
