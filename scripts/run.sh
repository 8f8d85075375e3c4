#!/usr/bin/env bash
# Installs the packages, builds, and runs the qel2caldb command on the
# bundled sample store (a genuine Berkeley DB 4.2 store, copied to a
# temporary folder and recovered there): info, calendars, one calendar's
# events, verify.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"

cli=build/default/tools/cli/qel2caldb
for command in "info" "calendars" "events jdoe" "todos jdoe:tasks" "verify"; do
  echo
  echo "\$ qel2caldb $command"
  # shellcheck disable=SC2086  # the command's words are meant to split
  "$cli" $command
done
