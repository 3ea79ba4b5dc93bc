#!/usr/bin/env bash
# A study of 200 designs of the example cantilever with --jobs 2 against the
# same study with --jobs 1, in one run; and the portal's own share of the
# designs' time (everything but the solver and results-module runs).
#   bench/study_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
host="$build/bin/portal-host"
[ -x "$host" ] || { echo "build first: scripts/build.sh release" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed -e "s|\"cantilever.dat\"|\"$root/examples/cantilever/cantilever.dat\"|" \
    -e 's|"count": 12|"count": 200|' "$root/examples/cantilever/study.json" > "$work/study.json"

run() {  # jobs -> seconds; keeps the portal's share line
  local start end
  start=$(date +%s.%N)
  "$host" study "$work/study.json" --jobs "$1" --out "$work/out$1" > "$work/table$1.txt" 2> "$work/log$1.txt"
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
one=$(run 1)
two=$(run 2)
share=$(sed -n 's/time in the portal: \([0-9.]*\)%.*/\1/p' "$work/log1.txt")
failed=$(grep -c FAILED "$work/table2.txt" || true)
printf 'study of 200 designs: --jobs 1 %6.2f s   --jobs 2 %6.2f s   speed-up %4.2f (goal >= 1.95)\n' \
  "$one" "$two" "$(echo "$one / $two" | bc -l)"
printf 'portal time per design: %.2f%% of the design time (goal < 1%%); failed designs: %s\n' "$share" "$failed"
