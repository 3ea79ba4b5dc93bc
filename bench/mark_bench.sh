#!/usr/bin/env bash
# Mark engine against the plain tools on the same generated files, in one run:
# marking a 100 MB text file with 10,000 free-mode tags against `cp` of the
# file, and extracting 10,000 tagged values from a 100 MB output file against
# `awk` printing the same fields. Each pair of commands runs alternately seven
# times with a warm file cache and a `sync` before each run (otherwise the
# write-back of one run's 100 MB lands in the next, and on a busy machine the
# ratios swing by a factor of two); each time is the best of its seven. Also
# the peak resident memory of marking on 100 MB and on 400 MB, to show that
# marking streams.
#   bench/mark_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bench_init mark_bench "${1:-}"

tags=10000

input="$work/model.txt"
output="$work/result.txt"
every=$("$driver" generate "$input" 100 $tags in | sed -n 's/.*every \([0-9]*\) lines/\1/p')
"$driver" generate "$output" 100 $tags out > /dev/null
size_mb=$(( ($(stat -c %s "$input") + 524288) / 1048576 ))

copy_input() { cp "$input" "$work/copy.txt"; }
mark_input() { "$driver" mark "$input"; }
awk_fields() { awk -v e="$every" -v n="$tags" 'NR % e == 0 && NR <= e * n { print $3 }' "$output"; }
extract_output() { "$driver" extract "$output"; }
# cp writes over a copy, as marking writes over the file: both free its old
# blocks and cached pages.
cp "$input" "$work/copy.txt"
read -r cp_ms mark_ms < <(best 7 copy_input mark_input)
read -r awk_ms extract_ms < <(best 7 awk_fields extract_output)
reported=$("$driver" extract "$output" | field reported)
printed=$(awk_fields | wc -l)
mark_kb=$("$driver" mark "$input" | field peak_kb)
extract_kb=$("$driver" extract "$output" | field peak_kb)

rm -f "$work"/model.txt* "$work/copy.txt" "$work"/M_in_*
"$driver" generate "$input" 400 $tags in > /dev/null
large_mark_kb=$("$driver" mark "$input" | field peak_kb)

echo "files: ${size_mb} MB, ${tags} free-mode tags (extract: ${reported} values, awk: ${printed} fields)"
printf 'marking    %5d ms   cp   %5d ms   ratio %5.2f (target <= 2)\n' \
  "$mark_ms" "$cp_ms" "$(ratio "$mark_ms" "$cp_ms")"
printf 'extraction %5d ms   awk  %5d ms   ratio %5.2f (target <= 1.5)\n' \
  "$extract_ms" "$awk_ms" "$(ratio "$extract_ms" "$awk_ms")"
echo "peak RSS: marking 100 MB $((mark_kb / 1024)) MB, 400 MB $((large_mark_kb / 1024)) MB; extraction 100 MB $((extract_kb / 1024)) MB"
