#!/usr/bin/env bash
# Builds and runs the whole test suite: a normal build, then an
# AddressSanitizer + UndefinedBehaviorSanitizer build with leak detection.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

bash scripts/install-deps.sh

jobs=$(nproc)
for preset in default asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset tests"
  ctest --preset "$preset" -j "$jobs"
done

echo "== all tests passed in $((SECONDS - start)) s"
