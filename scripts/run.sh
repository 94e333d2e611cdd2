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
server_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Firmware updates: unless told where the list is, serve the sample updates
# made for the emulator from a local web server.
if [ -z "${VEXA_UPDATE_LIST:-}" ] && command -v python3 >/dev/null; then
  samples=build/release/update-samples
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  build/release/tools/update-samples/vexa-update-samples "$samples" "http://127.0.0.1:$port/"
  python3 -m http.server --bind 127.0.0.1 --directory "$samples" "$port" >/dev/null 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
  done
  export VEXA_UPDATE_LIST="http://127.0.0.1:$port/V6updates.txt"
  echo "run: sample firmware updates served at $VEXA_UPDATE_LIST"
fi

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
