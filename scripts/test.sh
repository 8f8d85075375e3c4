#!/usr/bin/env bash
# Builds and runs the whole test suite, then the reliability checks:
#   1. a normal build and all tests;
#   2. an AddressSanitizer + UndefinedBehaviorSanitizer build, all tests,
#      with leak detection (any report fails its test);
#   3. a ThreadSanitizer build, the tests labelled "threads";
#   4. an i386 build and all tests, run as a 32-bit program in a Debian 12
#      i386 root (scripts/i386-root.sh makes it once per machine);
#   5. each decoder fuzz target for 20 s (scripts/fuzz.sh, clang);
#   6. the 60-second soak (label "soak") on the normal build.
# Ends with the whole run's time and each ctest run's own summary lines.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

bash scripts/install-deps.sh

jobs=$(nproc)

# Runs one ctest preset, keeping its summary lines for the recap at the end.
# Any words after the preset run ctest through them (the i386 root).
run_ctest() {
  local preset=$1
  shift
  echo "== $preset tests"
  "$@" ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$logs/$preset.log"
  # pipefail above makes a failed ctest end the run here.
  grep -E '^[0-9]+% tests passed|^Total Test time' "$logs/$preset.log" >"$logs/$preset.summary"
}

# Configures, builds and tests one preset, through the words after it if any.
build_and_test() {
  local preset=$1
  stage=$SECONDS
  echo "== $preset build"
  "${@:2}" cmake --preset "$preset" >/dev/null
  "${@:2}" cmake --build --preset "$preset" -j "$jobs"
  run_ctest "$@"
  echo "== $preset: $((SECONDS - stage)) s"
}

for preset in default asan tsan; do
  build_and_test "$preset"
done
build_and_test i386 bash scripts/i386-root.sh

stage=$SECONDS
echo "== fuzz: each decoder target for 20 s"
if ! bash scripts/fuzz.sh 20 2>&1 | tee "$logs/fuzz.log"; then
  # Keep the reproducer where the replay tests (tests/faults) pick it up.
  target=$(grep -oE '^decode_[a-z]+_fuzzer: finding' "$logs/fuzz.log" | cut -d: -f1 || true)
  if [ -n "$target" ]; then
    for finding in crash-* leak-* timeout-* oom-*; do
      [ -e "$finding" ] && mv "$finding" "fuzz/regressions/$target/"
    done
    echo "== fuzz: the input is saved in fuzz/regressions/$target/; commit it with the fix" >&2
  fi
  exit 1
fi
echo "== fuzz: $((SECONDS - stage)) s"

stage=$SECONDS
run_ctest soak
echo "== soak: $((SECONDS - stage)) s"

echo "== all tests passed in $((SECONDS - start)) s (default, asan, tsan and i386 builds, fuzzing, soak)"
for preset in default asan tsan i386 soak; do
  echo "== $preset:"
  cat "$logs/$preset.summary"
done
