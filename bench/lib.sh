# What the bench scripts share; each sources it first.
#   bench_init NAME [BUILD_DIR]   sets root, build, driver ($build/bin/NAME) and
#                                 work (a scratch folder removed at exit)
#   run_ms COMMAND...             wall time of one run in milliseconds
#   best ROUNDS COMMAND...        runs the commands alternately ROUNDS times and
#                                 prints the best time of each, in order
#   best_cpu ROUNDS COMMAND...    the same, printing "wall_ms cpu_ms" of each
#                                 (cpu: user plus system time, children included)
#   field NAME                    the value of NAME=value in the standard input
#   ratio A B                     A / B with two decimals
# A baseline and the portal's run are always timed in the same run of a script,
# alternately, so the machine's load weighs on both alike.

bench_init() {
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  build=${2:-$root/build}
  driver="$build/bin/$1"
  if [ ! -x "$driver" ]; then
    echo "build first: scripts/build.sh release (no $driver)" >&2
    exit 2
  fi
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

# Wall and processor time of one run in milliseconds. The sync first:
# otherwise the write-back of one run's output lands in the next run's time,
# and on a busy machine ratios swing by a factor of two.
run_cpu_ms() {
  sync
  local TIMEFORMAT='%3R %3U %3S'
  { time "$@" > "$work/out" 2> "$work/err"; } 2> "$work/times"
  awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' "$work/times"
}

run_ms() {
  local wall cpu
  read -r wall cpu < <(run_cpu_ms "$@")
  echo "$wall"
}

best_cpu() {
  local rounds=$1
  shift
  local -A walls=() cpus=()
  local round command wall cpu
  for (( round = 0; round < rounds; ++round )); do
    for command in "$@"; do
      read -r wall cpu < <(run_cpu_ms "$command")
      if [ -z "${walls[$command]:-}" ] || [ "$wall" -lt "${walls[$command]}" ]; then walls[$command]=$wall; fi
      if [ -z "${cpus[$command]:-}" ] || [ "$cpu" -lt "${cpus[$command]}" ]; then cpus[$command]=$cpu; fi
    done
  done
  for command in "$@"; do printf '%s %s ' "${walls[$command]}" "${cpus[$command]}"; done
  echo
}

best() {
  local times i
  read -ra times < <(best_cpu "$@")
  for (( i = 0; i < ${#times[@]}; i += 2 )); do printf '%s ' "${times[i]}"; done
  echo
}

field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p"; }

ratio() { echo "scale=2; $1 / $2" | bc -l; }
