#!/usr/bin/env bash
# Times `qel2caldb verify` and `qel2caldb export` against `db5.3_dump` of the
# same four database files, in one run, and measures their peak resident
# memory on a store of 100 calendars x 10,000 events and on one of 10 x
# 10,000, to show that memory does not grow with the store.
#
#   scripts/bench-cli.sh            # Release build in build-cli-release
#
# The stores are written once by `qel2-mkstore generate` (about 14 s for the
# large one) and kept in $QEL2_BENCH_STORES (default /tmp/qel2-bench-stores).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${QEL2_BENCH_BUILD:-build-cli-release}
stores=${QEL2_BENCH_STORES:-/tmp/qel2-bench-stores}
cli=$build/tools/cli/qel2caldb
mkstore=$build/tools/mkstore/qel2-mkstore

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQEL2_BUILD_TESTS=OFF -DQEL2_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target qel2caldb_cli qel2-mkstore -j2 >/dev/null

make_store() {  # name calendars events
  local dir=$stores/$1
  if [ ! -f "$dir/caldb.conf" ]; then
    rm -rf "$dir"
    mkdir -p "$stores"
    "$mkstore" generate --calendars "$2" --events "$3" --seed 1 "$dir"
  fi
}

# Prints "<wall seconds> <peak RSS in kB>" of one command; its output is
# thrown away, and a failing command stops the script.
measure() {
  local report
  report=$(mktemp)
  /usr/bin/time -f "%e %M" -o "$report" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; cat "$report" >&2; exit 1; }
  cat "$report"
  rm -f "$report"
}

dump_all() {  # the raw bytes of the four databases, as a person would look
  for file in events.db todos.db calprops.db alarms.db; do db5.3_dump -h "$1" "$1/$file"; done
}
export -f dump_all

make_store large 100 10000
make_store small 10 10000
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

printf '%-8s %-10s %10s %12s\n' store command seconds "peak RSS kB"
declare -A seconds
for store in large small; do
  dir=$stores/$store
  # One untimed pass so all three read from the page cache alike.
  dump_all "$dir" >/dev/null 2>&1
  for command in db5.3_dump verify export; do
    case $command in
      db5.3_dump) result=$(measure bash -c 'dump_all "$0"' "$dir") ;;
      verify) result=$(measure "$cli" verify "$dir") ;;
      export) result=$(measure "$cli" export "$dir" "$out/$store") ;;
    esac
    read -r wall rss <<<"$result"
    seconds[$store.$command]=$wall
    printf '%-8s %-10s %10s %12s\n' "$store" "$command" "$wall" "$rss"
  done
done
for command in verify export; do
  awk -v a="${seconds[large.$command]}" -v b="${seconds[large.db5.3_dump]}" -v c="$command" \
    'BEGIN { printf "%s / db5.3_dump on the large store: %.2f\n", c, a / b }'
done
