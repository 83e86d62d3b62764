#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the whole suite inside
# a private network namespace that has only loopback. Exit status is ctest's.
#   ./test.sh [CTEST-OPTIONS]              the plain build
#   ./test.sh --sanitize [CTEST-OPTIONS]   the same suite built with
#       AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/
#   ./test.sh --qt6 [CTEST-OPTIONS]        the same suite built against Qt 6
#       into build-qt6/
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
dir=build
if [ "${1:-}" = --sanitize ]; then
  shift
  dir=build-sanitize
  sector_install sanitize
  # The build runs sanitized programs too (the manual's pictures).
  sector_sanitizer_env
  sector_build "$dir" -DSANITIZE=ON
elif [ "${1:-}" = --qt6 ]; then
  shift
  dir=build-qt6
  sector_install qt6
  sector_build "$dir" -DSECTOR_QT=6
else
  sector_install
  sector_build
fi
if [ "$(id -u)" = 0 ]; then ns=(unshare -n); else ns=(unshare -rn); fi
exec "${ns[@]}" sh -c 'dir=$1; shift; ip link set lo up && exec ctest --test-dir "$dir" --output-on-failure -j2 "$@"' ctest "$dir" "$@"
