#!/usr/bin/env bash
# Installs the packages, builds the libraries and the command (nothing
# else: scripts/test.sh builds the tests), and runs the qel2caldb command on the
# bundled sample store (a genuine Berkeley DB 4.2 store, copied to a
# temporary folder and recovered there): info, calendars, one calendar's
# events, verify.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target qel2caldb_cli

cli=build/default/tools/cli/qel2caldb
for command in "info --sample" "calendars --sample" "events --sample jdoe" "todos --sample jdoe:tasks" \
  "verify --sample"; do
  echo
  echo "\$ qel2caldb $command"
  # shellcheck disable=SC2086  # the command's words are meant to split
  "$cli" $command
done
