#!/usr/bin/env bash
# Times `qel2caldb verify` and `qel2caldb export` (both layouts) against
# `db5.3_dump` of the same four database files, in one run, and measures
# their peak resident memory on a store of 10 calendars x 20,000 events and
# on stores of one calendar of 20,000 and of 200,000 events, to show that
# memory does not grow with a calendar's size.
#
#   scripts/bench-cli.sh            # Release build in build/release (preset "release")
#
# The stores are written once by `qel2-mkstore generate` (a few seconds
# each) and kept in $QEL2_BENCH_STORES (default /tmp/qel2-bench-stores).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release
stores=${QEL2_BENCH_STORES:-/tmp/qel2-bench-stores}
cli=$build/tools/cli/qel2caldb
mkstore=$build/tools/mkstore/qel2-mkstore
mimalloc=/usr/lib/x86_64-linux-gnu/libmimalloc.so.2

cmake --preset release >/dev/null
cmake --build --preset release --target qel2caldb_cli qel2-mkstore -j2 >/dev/null

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

make_store ten 10 20000
make_store one20k 1 20000
make_store one200k 1 200000
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

printf '%-8s %-10s %10s %12s\n' store command seconds "peak RSS kB"
declare -A seconds
for store in ten one20k one200k; do
  dir=$stores/$store
  # One untimed pass so all three read from the page cache alike.
  dump_all "$dir" >/dev/null 2>&1
  for command in db5.3_dump verify export export-vdir export-mimalloc; do
    case $command in
      db5.3_dump) result=$(measure bash -c 'dump_all "$0"' "$dir") ;;
      verify) result=$(measure "$cli" verify "$dir") ;;
      export) result=$(measure "$cli" export "$dir" "$out/$store") ;;
      export-vdir) result=$(measure "$cli" export "$dir" "$out/$store-vdir" --layout vdir) ;;
      # The same export with Debian's mimalloc in place of glibc's malloc,
      # to see the allocator's share (skipped when libmimalloc2.0 is absent).
      export-mimalloc)
        [ -f "$mimalloc" ] || continue
        result=$(measure env LD_PRELOAD="$mimalloc" "$cli" export "$dir" "$out/$store-mimalloc") ;;
    esac
    read -r wall rss <<<"$result"
    seconds[$store.$command]=$wall
    printf '%-8s %-10s %10s %12s\n' "$store" "$command" "$wall" "$rss"
  done
done
for command in verify export export-vdir export-mimalloc; do
  [ -n "${seconds[ten.$command]:-}" ] || continue
  awk -v a="${seconds[ten.$command]}" -v b="${seconds[ten.db5.3_dump]}" -v c="$command" \
    'BEGIN { printf "%s / db5.3_dump on 10 x 20,000: %.2f\n", c, a / b }'
done
