#!/usr/bin/env bash
# Builds the fuzz targets with clang (build-fuzz/) and runs each one for a
# bounded time on a scratch copy of its seeds, so the committed corpus never
# grows. Fails on any finding (crash, leak, timeout, out of memory) and names
# the target and the input that caused it.
#   scripts/fuzz-smoke.sh [TARGET...]     (default: every fuzz/*_fuzz.cpp)
#   FUZZ_SECONDS=60 scripts/fuzz-smoke.sh (time per target; default 15)
# Installs nothing: scripts/install-deps.sh brings clang and its fuzzer runtime.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-15}
jobs=$(nproc 2>/dev/null || echo 2)
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" >/dev/null
cmake --build "$build" -j "$jobs"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in "$root"/fuzz/*_fuzz.cpp; do
    name=$(basename "$source" .cpp)
    targets+=("${name%_fuzz}")
  done
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/fuzz-smoke.XXXXXX")
# The files each target rewrites on every input go to memory when possible
# (see fuzz/fuzz_support.h); what a crashed run leaves there goes with the rest.
files="$scratch"
[ -w /dev/shm ] && files=$(mktemp -d /dev/shm/fuzz-smoke.XXXXXX)
trap 'rm -rf "$scratch" "$files"' EXIT
export FUZZ_SCRATCH_BASE="$files"

# Leak checking is libFuzzer's default; it is named here so that an
# ASAN_OPTIONS inherited from the caller cannot turn it off.
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
for target in "${targets[@]}"; do
  program="$build/bin/${target}_fuzz"
  seeds="$root/fuzz/corpus/$target"
  if [ ! -x "$program" ] || [ ! -d "$seeds" ]; then
    echo "fuzz $target: missing $program or $seeds (see fuzz/README.md)" >&2
    failed+=("$target")
    continue
  fi
  work="$scratch/$target"
  # Findings are kept where the next build does not touch them.
  artifacts="$build/artifacts/$target"
  mkdir -p "$work/corpus" "$artifacts"
  cp -R "$seeds/." "$work/corpus/"
  status=0
  (cd "$work" && "$program" -max_total_time="$seconds" \
      -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$work/corpus" >"$work/log" 2>&1) || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  if [ "$status" -ne 0 ]; then
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$work/log" | tail -n 1)
    echo "fuzz $target: FINDING (exit $status) after ${runs:-?} runs; input: ${artifact:-none written}" >&2
    grep -E '^(==[0-9]+==ERROR|SUMMARY|portal fuzz:)|runtime error' "$work/log" | head -n 5 >&2 || true
    cp "$work/log" "$artifacts/last-run.log"
    echo "  full log: $artifacts/last-run.log" >&2
    echo "  reproduce: $program ${artifact:-<input>}" >&2
    failed+=("$target")
  else
    echo "fuzz $target: ${runs:-?} runs in ${seconds} s, 0 crashes"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz findings in: ${failed[*]}" >&2
  exit 1
fi
