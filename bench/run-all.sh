#!/usr/bin/env bash
# Every benchmark in one run, printing one line per goal (the work, the ratio,
# the goal) under the name of its script; each script's whole output is kept in
# the log folder. The release build must be there (scripts/build.sh release).
#   bench/run-all.sh [BUILD_DIR]             (default: build)
#   BENCHES="deck script" bench/run-all.sh   (a part of them)
# Takes 10 to 20 minutes on two cores; run it on a quiet machine, since each
# ratio compares two commands timed in the same run, but a busy neighbour still
# widens the spread. Every script deletes the files it generated.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
logs=${LOGS:-$(mktemp -d)}
mkdir -p "$logs"
status=0

for bench in ${BENCHES:-deck script mark replay xml tallex study study_host}; do
  log="$logs/$bench.txt"
  if ! "$here/${bench}_bench.sh" "$build" > "$log" 2>&1; then
    echo "$bench: failed (see $log)"
    status=1
    continue
  fi
  grep -E 'goal|target' "$log" | sed "s/^/$bench: /"
done
echo "whole outputs: $logs"
exit $status
