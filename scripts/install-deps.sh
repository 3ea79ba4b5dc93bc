#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, only when one
# is missing, so running it again costs nothing.
set -euo pipefail
# calculix-ccx is a real solver: the CalculiX example and its end-to-end test run
# it. slurm-wlm and munge are a real cluster scheduler: the tests bring up a
# one-node cluster of their own (scripts/slurm-up.sh).
packages=(cmake g++ make libpugixml-dev libutfcpp-dev nlohmann-json3-dev libcli11-dev
          libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev calculix-ccx
          slurm-wlm munge)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
