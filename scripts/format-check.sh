#!/usr/bin/env bash
# Fails when a C++ file differs from the house style (.clang-format).
# With --fix, formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."

formatter=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$formatter" ]; then
  echo "format-check: clang-format not found" >&2
  exit 1
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  "$formatter" -i "${files[@]}"
else
  "$formatter" --dry-run --Werror "${files[@]}"
  echo "format-check: ${#files[@]} files in the house style"
fi
