#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests and the
# host scenarios, once in the release build and once under AddressSanitizer and
# UndefinedBehaviorSanitizer; then every fuzz target for a bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

jobs=$(nproc 2>/dev/null || echo 2)

# A one-node Slurm cluster of the tests' own, for the studies run through
# Slurm; it needs root, and is stopped by its process ids however we leave.
if [ "$(id -u)" -eq 0 ]; then
  slurm_state=$(mktemp -d "${TMPDIR:-/tmp}/portal-slurm.XXXXXX")
  trap '"$root/scripts/slurm-down.sh" "$slurm_state"' EXIT
  "$root/scripts/slurm-up.sh" "$slurm_state"
  export SLURM_CONF="$slurm_state/slurm.conf"
else
  echo "test.sh: not root, so no Slurm cluster: the Slurm tests are skipped" >&2
fi

"$root/scripts/build.sh" release
(cd "$root/build" && ctest --output-on-failure -j "$jobs")

"$root/scripts/build.sh" sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$root/build-asan" && ctest --output-on-failure -j "$jobs")
[ -n "${slurm_state:-}" ] && "$root/scripts/slurm-down.sh" "$slurm_state"

# Each parser under libFuzzer for FUZZ_SECONDS (default 15) on a scratch copy of
# its seeds; any crash, leak or timeout fails the run.
"$root/scripts/fuzz-smoke.sh"
