#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts Sector Studio.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
sector_install
sector_build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: start it under Xvfb with  xvfb-run -a -s '-screen 0 1400x900x24' ./run.sh"
  exit 1
fi
exec build/sector-studio "$@"
