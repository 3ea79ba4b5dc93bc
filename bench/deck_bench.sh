#!/usr/bin/env bash
# Deck update and discovery against the plain tools on the same generated deck,
# in one run: the update against `cp` of the deck, the discovery against
# `grep -ci '^abre'`. Each is the best of three runs (warm file cache). Also the
# peak resident memory of each operation, on the 200 MB deck and on a 500 MB one.
#   bench/deck_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
driver="$build/bin/deck_bench"
[ -x "$driver" ] || { echo "build first: scripts/build.sh release" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

best_of_three() {  # prints the best wall time in seconds of the command
  local best=""
  for _ in 1 2 3; do
    local start end t
    start=$(date +%s.%N); "$@" > "$work/out"; end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  printf '%.3f' "$best"
}
field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p"; }

deck="$work/deck.dat"
"$driver" generate "$deck" 200 1000 > /dev/null
size_mb=$(( $(stat -c %s "$deck") / 1048576 ))

cp_time=$(best_of_three cp "$deck" "$work/copy.dat")
update_time=$(best_of_three "$driver" update "$deck")
grep_time=$(best_of_three grep -ci '^abre' "$deck")
discover_time=$(best_of_three "$driver" discover "$deck")
update_kb=$("$driver" update "$deck" | field peak_kb)
discover_kb=$("$driver" discover "$deck" | field peak_kb)

rm -f "$deck" "$work/copy.dat" "$work"/P_in_*
"$driver" generate "$deck" 500 1000 > /dev/null
large_update_kb=$("$driver" update "$deck" | field peak_kb)
large_discover_kb=$("$driver" discover "$deck" | field peak_kb)

echo "deck: ${size_mb} MB, 1000 tagged abbreviations"
printf 'update    %6.3f s   cp        %6.3f s   ratio %5.2f (target <= 1.5)\n' \
  "$update_time" "$cp_time" "$(echo "$update_time / $cp_time" | bc -l)"
printf 'discovery %6.3f s   grep -ci  %6.3f s   ratio %5.2f (target <= 1.5)\n' \
  "$discover_time" "$grep_time" "$(echo "$discover_time / $grep_time" | bc -l)"
echo "peak RSS, 200 MB deck: update $((update_kb / 1024)) MB, discovery $((discover_kb / 1024)) MB"
echo "peak RSS, 500 MB deck: update $((large_update_kb / 1024)) MB, discovery $((large_discover_kb / 1024)) MB (target < 32 MB)"
