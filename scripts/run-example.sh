#!/usr/bin/env bash
# Installs what is missing, builds, and runs the example study: a cantilever
# deck, twelve designs, each written into the deck by the portal, solved by the
# solver stand-in, and read back through its results module.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release
# The results folder is the example's own: every run starts it afresh (without
# --force a second run would stop at the first run's results).
"$root/build/bin/portal-host" study "$root/examples/cantilever/study.json" \
  --out "$root/cantilever-results" --force
