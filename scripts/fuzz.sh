#!/usr/bin/env bash
# Builds the decoder fuzzers with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for N seconds, default 20,
# starting from its seed corpus in fuzz/corpus/. Prints each target's
# execution count and final corpus size; exits non-zero on a finding, whose
# reproducer libFuzzer leaves in the current folder (crash-*, leak-*).
#
#   scripts/fuzz.sh [SECONDS]      build folder: build/fuzz (preset "fuzz")
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
build=build/fuzz
targets=(decode_alarm_fuzzer decode_calprops_fuzzer decode_event_fuzzer decode_todo_fuzzer)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2 --target "${targets[@]}" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
  mkdir "$work/$target"
  log="$work/$target.log"
  # New inputs go to the scratch folder; the committed seeds are only read.
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
       "$work/$target" "fuzz/corpus/$target" 2>"$log"; then
    tail -n 40 "$log"
    echo "$target: finding after $seconds s" >&2
    exit 1
  fi
  executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
  corpus=$(grep -o 'corp: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  echo "$target: $executions executions in $seconds s, corpus $corpus inputs"
done
