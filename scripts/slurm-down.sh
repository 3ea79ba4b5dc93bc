#!/usr/bin/env bash
# Stops the daemons scripts/slurm-up.sh started in STATE_FOLDER, by the
# process ids they wrote there, and removes the folder.
#   scripts/slurm-down.sh STATE_FOLDER
set -uo pipefail
state=${1:?usage: slurm-down.sh STATE_FOLDER}
[ -d "$state" ] || exit 0
for pidfile in "$state/slurmd.pid" "$state/slurmctld.pid" "$state/munge/munged.pid"; do
  [ -s "$pidfile" ] || continue
  pid=$(cat "$pidfile")
  kill "$pid" 2>/dev/null || continue
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
done
rm -rf "$state"
