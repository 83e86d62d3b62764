#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the whole suite inside
# a private network namespace that has only loopback. Exit status is ctest's.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
sector_install
sector_build
if [ "$(id -u)" = 0 ]; then ns=(unshare -n); else ns=(unshare -rn); fi
exec "${ns[@]}" sh -c 'ip link set lo up && exec ctest --test-dir build --output-on-failure -j2 "$@"' ctest "$@"
