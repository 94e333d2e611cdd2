#!/usr/bin/env bash
# Sets everything up, builds, and starts Vexa. When no USB serial module is
# plugged in, the module emulator is started beside it so there is a module
# to connect to.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release

sim=build/release/tools/module-sim/vexa-module-sim
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  [ -n "${update_server_pid:-}" ] && kill "$update_server_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Firmware updates: unless told where the list is, the sample updates made
# for the emulator come from a local web server.
. scripts/update-server.sh
start_update_server build/release

if ! ls /dev/ttyUSB* /dev/ttyACM* >/dev/null 2>&1 && [ -x "$sim" ]; then
  "$sim" --baud 115200 &
  sim_pid=$!
  sleep 0.5
  echo "run: no module plugged in; started the module emulator (pick \"Vexa module emulator\" in the port list)"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display found; starting Vexa on a virtual X server"
  xvfb-run -a build/release/src/app/vexa
else
  build/release/src/app/vexa
fi
