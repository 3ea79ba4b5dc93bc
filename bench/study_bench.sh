#!/usr/bin/env bash
# A study of 200 designs of the example cantilever with --jobs 2 against the
# same study with --jobs 1, in one run; and the portal's own share of the
# designs' time (everything but the solver and results-module runs). The pair
# runs again with the results in /dev/shm, when there is one: on a disk every
# file a design creates costs the file system's search for a free inode, which
# the two jobs pay side by side.
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

# ext4 without a journal (this machine's disk) passes over inodes freed in the
# last 5 seconds (35 while their table is not yet written back) when it looks
# for a free one: a run right after another program deleted a few thousand
# files (an earlier bench's outputs) takes up to half as long again. So the
# disk runs start after a sync and those 5 seconds, with one to spare.
run() {  # jobs [out root] -> seconds; keeps the portal's share line
  local start end out=${2:-$work}
  if [ "$out" = "$work" ]; then sync; sleep 6; fi
  start=$(date +%s.%N)
  "$host" study "$work/study.json" --jobs "$1" --out "$out/out$1" > "$work/table$1.txt" 2> "$work/log$1.txt"
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
portal_share() { sed -n 's/time in the portal: \([0-9.]*\)%.*/\1/p' "$work/log1.txt"; }
one=$(run 1)
two=$(run 2)
share=$(portal_share)
failed=$(grep -c FAILED "$work/table2.txt" || true)
printf 'study of 200 designs: --jobs 1 %6.2f s   --jobs 2 %6.2f s   speed-up %4.2f (goal >= 1.95)\n' \
  "$one" "$two" "$(echo "$one / $two" | bc -l)"
printf 'portal time per design: %.2f%% of the design time (goal < 1%%); failed designs: %s\n' "$share" "$failed"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  memory=$(mktemp -d /dev/shm/study_bench.XXXXXX)
  trap 'rm -rf "$work" "$memory"' EXIT
  one=$(run 1 "$memory")
  two=$(run 2 "$memory")
  share=$(portal_share)
  printf 'the same in /dev/shm: --jobs 1 %6.2f s   --jobs 2 %6.2f s   speed-up %4.2f, portal time %.2f%% (no goal: the results in memory, without the disk)\n' \
    "$one" "$two" "$(echo "$one / $two" | bc -l)" "$share"
fi
