#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts Sector Studio.
#   ./run.sh --sim   also starts the sensor emulator beside it (TCP and UDP on
#                    127.0.0.1:8080, discovery on 1900, a pseudo-terminal) and
#                    stops it when the tool exits. The emulator keeps what it
#                    was sent in ${XDG_STATE_HOME:-~/.local/state}/sector-sim.state.
#   ./run.sh --qt6   the tool built against Qt 6, from build-qt6/
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
args=()
sim=0
dir=build
for a in "$@"; do
  case "$a" in
    --sim) sim=1 ;;
    --qt6) dir=build-qt6 ;;
    *) args+=("$a") ;;
  esac
done
if [ "$dir" = build-qt6 ]; then
  sector_install qt6
  sector_build "$dir" -DSECTOR_QT=6
else
  sector_install
  sector_build
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: start it under Xvfb inside a loopback-only namespace:"
  echo "  unshare -rn sh -c 'ip link set lo up; xvfb-run -a -s \"-screen 0 1400x900x24\" ./run.sh'"
  exit 1
fi
if [ "$sim" = 1 ]; then
  statedir="${XDG_STATE_HOME:-$HOME/.local/state}"
  # A fresh account has no such folder yet; should it not be made, the
  # emulator says so at its first save.
  mkdir -p "$statedir" || true
  simlog=$(mktemp)
  # Its endpoints go to the log; what it reports later (a state it could not
  # save) reaches the terminal.
  "$dir"/sector-sim --bind 127.0.0.1 --serial --state "$statedir/sector-sim.state" >"$simlog" &
  simpid=$!
  trap 'kill "$simpid" 2>/dev/null; rm -f "$simlog"' EXIT
  sleep 0.5
  if ! kill -0 "$simpid" 2>/dev/null; then
    echo "sector-sim did not start (its reason is above)"; exit 1
  fi
  echo "Sensor emulator: $(tr '\n' ' ' <"$simlog")"
  "$dir"/sector-studio "${args[@]}"
  exit $?
fi
exec "$dir"/sector-studio "${args[@]}"
