#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests and the
# host scenarios, once in the release build and once under AddressSanitizer and
# UndefinedBehaviorSanitizer; then every fuzz target for a bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

jobs=$(nproc 2>/dev/null || echo 2)
"$root/scripts/build.sh" release
(cd "$root/build" && ctest --output-on-failure -j "$jobs")

"$root/scripts/build.sh" sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$root/build-asan" && ctest --output-on-failure -j "$jobs")

# Each parser under libFuzzer for FUZZ_SECONDS (default 15) on a scratch copy of
# its seeds; any crash, leak or timeout fails the run.
"$root/scripts/fuzz-smoke.sh"
