#!/usr/bin/env bash
# Sets everything up, builds and runs every test: once as shipped (warnings
# as errors), once under AddressSanitizer and UndefinedBehaviorSanitizer;
# then packages the first build as a Debian package and checks it as installed.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

./scripts/fuzz.sh 20

# The package from the build above: the same programs, stripped; the
# release preset would only compile everything once more.
./scripts/package-check.sh build/ci
