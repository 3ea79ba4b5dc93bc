#!/usr/bin/env bash
# portal-host replay of one Mark update against `cp` of the marked file, in one
# run: a scenario whose host gives 10,000, 30,000 and 100,000 parameter values,
# each tagged once in a 100 MB text file, and one updateInputFiles call. The
# replay reads the scenario, loads the library, answers one parameterValue per
# tag and writes a transcript that records each of them; the Mark engine alone
# (mark_bench mark, same file and tags) is timed beside it, so that what the
# host adds per parameter shows apart from the file's copy. `dd` with 1 MB
# blocks is timed beside them: it moves every byte through a process, as the
# engine must with the host's reader and writer (cp copies inside the kernel),
# so it is the floor under the replay. Best of five, warm cache, a `sync`
# before each run.
#   bench/replay_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bench_init mark_bench "${1:-}"
host="$build/bin/portal-host"

input="$work/model.txt"
tagfile="$work/M_in_bench_model.txt"
scenario="$work/scenario.json"

# The host's parameters p1..pN and one update of the generated file.
write_scenario() {
  awk -v n="$1" -v input="$input" -v tags="$tagfile" 'BEGIN {
    printf "{\n  \"host\": {\n    \"parameters\": {\n"
    for (i = 1; i <= n; ++i) printf "      \"p%d\": \"%d.5\"%s\n", i, i, i < n ? "," : ""
    printf "    }\n  },\n  \"steps\": [\n"
    printf "    {\"call\": \"portalFactory\", \"name\": \"Brisol\"},\n"
    printf "    {\"call\": \"updateInputFiles\", \"props\": {\"analysisName\": \"a1\", \"evalId\": \"1\",\n"
    printf "     \"inputFilepaths\": \"%s\", \"inputTagFilepaths\": \"%s\"}}\n  ]\n}\n", input, tags
  }' > "$scenario"
}

copy_input() { cp "$input" "$work/copy.txt"; }
read_write_input() { dd if="$input" of="$work/copy.txt" bs=1M status=none; }
replay() { "$host" replay "$scenario"; }
engine() { "$driver" mark "$input"; }

echo "replay of one Mark update of a 100 MB file vs cp; engine = the Mark engine alone"
for tags in 10000 30000 100000; do
  rm -f "$work"/model.txt* "$work/copy.txt"
  "$driver" generate "$input" 100 "$tags" in > /dev/null
  write_scenario "$tags"
  # Every tag must have been answered: a replay that reports nothing is no measure.
  "$host" replay "$scenario" --out "$work/transcript.json"
  answered=$(grep -c '"parameterValue"' "$work/transcript.json" || true)
  if [ "$answered" -ne "$tags" ]; then
    echo "the replay answered $answered of $tags parameters" >&2
    exit 1
  fi
  cp "$input" "$work/copy.txt"  # cp writes over a file, as the update does
  read -r cp_ms dd_ms replay_ms engine_ms < <(best 5 copy_input read_write_input replay engine)
  per_param_us=$(echo "scale=1; ($replay_ms - $engine_ms) * 1000 / $tags" | bc -l)
  printf 'replay %6d parameters %6d ms  cp %5d ms  ratio %5.2f (goal <= 1.3)  engine %5d ms  host %5.1f us/parameter\n' \
    "$tags" "$replay_ms" "$cp_ms" "$(ratio "$replay_ms" "$cp_ms")" "$engine_ms" "$per_param_us"
  printf 'replay %6d parameters %6d ms  dd bs=1M %5d ms  ratio %5.2f (no goal: dd moves every byte through a process, the floor; dd / cp %5.2f)\n' \
    "$tags" "$replay_ms" "$dd_ms" "$(ratio "$replay_ms" "$dd_ms")" "$(ratio "$dd_ms" "$cp_ms")"
done
