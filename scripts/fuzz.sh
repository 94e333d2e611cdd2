#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time.
# Usage: scripts/fuzz.sh [seconds per target, default 600]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Findings go beside the build, never into the source tree.
artifacts="$PWD/build/fuzz/artifacts"
mkdir -p "$artifacts"
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] && [ -f "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "$work/$name"
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$work/$name/"
  echo "fuzz: $name for ${seconds}s"
  (cd "$work" && "$OLDPWD/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$artifacts/$name-" "$work/$name" 2>&1 | tail -n 3)
done
