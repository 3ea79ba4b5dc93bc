#!/usr/bin/env bash
# Deck update and discovery against the plain tools on the same generated deck,
# in one run: the update against `cp` of the deck (wall and processor time, at
# 10, 1,000 and 100,000 tagged commands), the discovery against
# `grep -ci '^abre'` (1,000 commands). Each pair runs alternately three times
# (warm file cache); each time is the best of its three. Also the peak resident
# memory of each operation, on the 200 MB deck and on a 500 MB one.
# `cp` writes over a copy made beforehand, as the update writes over the deck:
# both free a 200 MB file's old blocks and cached pages, which costs about as
# much wall time as the copy itself (cp to a new name: half the wall time).
# `dd` with 256 KB blocks is timed beside them: it reads every byte into the
# process and writes it back without looking at it, the least a program that
# must see every byte of the deck pays (cp copies inside the kernel and sees
# none), so its processor time is the floor under the update's.
#   bench/deck_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bench_init deck_bench "${1:-}"

deck="$work/deck.dat"
copy_deck() { cp "$deck" "$work/copy.dat"; }
read_write_deck() { dd if="$deck" of="$work/copy.dat" bs=256K status=none; }
update() { "$driver" update "$deck"; }
count_commands() { grep -ci '^abre' "$deck"; }
discover() { "$driver" discover "$deck"; }

for tags in 10 1000 100000; do
  rm -f "$deck" "$work/copy.dat" "$work"/P_in_*
  "$driver" generate "$deck" 200 "$tags" > /dev/null
  size_mb=$(( $(stat -c %s "$deck") / 1048576 ))
  cp "$deck" "$work/copy.dat"
  read -r cp_ms cp_cpu _ dd_cpu update_ms update_cpu < <(best_cpu 3 copy_deck read_write_deck update)
  printf 'update, %3d MB deck, %6d tags: wall %5d ms, cp %5d ms, ratio %5.2f (goal <= 1); cpu %5d ms, cp %5d ms, ratio %5.2f (goal <= 1)\n' \
    "$size_mb" "$tags" "$update_ms" "$cp_ms" "$(ratio "$update_ms" "$cp_ms")" \
    "$update_cpu" "$cp_cpu" "$(ratio "$update_cpu" "$cp_cpu")"
  printf 'update, %3d MB deck, %6d tags: cpu %5d ms, dd bs=256K %5d ms, ratio %5.2f (no goal: dd reads every byte and looks at none, the floor; dd / cp %5.2f)\n' \
    "$size_mb" "$tags" "$update_cpu" "$dd_cpu" "$(ratio "$update_cpu" "$dd_cpu")" "$(ratio "$dd_cpu" "$cp_cpu")"
  update_kb=$(update | field peak_kb)
  echo "peak RSS, update of a $size_mb MB deck with $tags tags: $((update_kb / 1024)) MB"
  if [ "$tags" -eq 1000 ]; then
    read -r grep_ms discover_ms < <(best 3 count_commands discover)
    printf 'discovery, 200 MB deck: %6d ms   grep -ci  %6d ms   ratio %5.2f (target <= 1.5)\n' \
      "$discover_ms" "$grep_ms" "$(ratio "$discover_ms" "$grep_ms")"
    discover_kb=$(discover | field peak_kb)
  fi
done

rm -f "$deck" "$work/copy.dat" "$work"/P_in_*
"$driver" generate "$deck" 500 1000 > /dev/null
large_update_kb=$(update | field peak_kb)
large_discover_kb=$(discover | field peak_kb)
echo "peak RSS, discovery of the 200 MB deck: $((discover_kb / 1024)) MB"
echo "peak RSS, 500 MB deck: update $((large_update_kb / 1024)) MB, discovery $((large_discover_kb / 1024)) MB (target < 32 MB)"
