#!/usr/bin/env bash
# Installs what is missing, builds, and runs the example: the host loads the
# portal library and replays a set-up and one design against it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release
"$root/build/bin/portal-host" replay "$root/examples/first-design/scenario.json"
