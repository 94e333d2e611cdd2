#!/usr/bin/env bash
# Takes the pictures of the real program that the manual and the README show,
# into docs/images: the window is driven against the module emulator on a
# virtual X server, with a scratch home so no settings of the user's leak in
# or out. Run it after the window changes, then rebuild (the manual picks the
# new pictures up).
# Usage: scripts/screenshots.sh [build folder, default build/dev]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset "$(basename "$build")" >/dev/null
fi
cmake --build "$build" --target vexa-screenshots vexa-module-sim

scratch=$(mktemp -d)
# A fixed runtime folder: its path shows in the port list.
runtime=${TMPDIR:-/tmp}/vexa-screenshots-$(id -u)
rm -rf "$runtime"
mkdir -m 700 -p "$runtime"
. scripts/update-server.sh
trap 'rm -rf "$scratch" "$runtime"; [ -z "$update_server_pid" ] || kill "$update_server_pid"' EXIT
# The update dialog's picture shows the sample updates.
cmake --build "$build" --target vexa-update-samples
start_update_server "$build"

run=()
if command -v xvfb-run >/dev/null 2>&1; then
  run=(xvfb-run -a -s "-screen 0 1280x1024x24")
  export QT_QPA_PLATFORM=xcb
else
  echo "screenshots: no xvfb-run; drawing offscreen"
  export QT_QPA_PLATFORM=offscreen
fi

status=0
HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$runtime" \
  "${run[@]}" "$build/tools/screenshots/vexa-screenshots" \
  --sim "$build/tools/module-sim/vexa-module-sim" --out docs/images >"$scratch/log" 2>&1 ||
  status=$?
# The serial trace of a debug build is noise here.
grep -v '^serial:' "$scratch/log" || true
exit "$status"
