#!/usr/bin/env bash
# Times `qel2caldb push` of 10,000 events (10 calendars of 1,000 written by
# `qel2-mkstore generate`) into a local Radicale started for the run, and
# how much of that time the server itself spends on the CPU. Then times a
# second run, which finds everything there and sends nothing.
#
#   scripts/bench-push.sh           # Release build in build/release (preset "release")
#   QEL2_BENCH_JOBS=1 QEL2_BENCH_CALENDARS=1 QEL2_BENCH_EVENTS=2000 scripts/bench-push.sh
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release
jobs=${QEL2_BENCH_JOBS:-4}
calendars=${QEL2_BENCH_CALENDARS:-10}
events=${QEL2_BENCH_EVENTS:-1000}  # per calendar
cli=$build/tools/cli/qel2caldb
mkstore=$build/tools/mkstore/qel2-mkstore

cmake --preset release >/dev/null
cmake --build --preset release --target qel2caldb_cli qel2-mkstore -j2 >/dev/null 2>&1

work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT INT TERM
"$mkstore" generate --calendars "$calendars" --events "$events" --seed 1 "$work/store" >/dev/null

port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
echo "bench:bench-secret" >"$work/users"
echo "bench-secret" >"$work/password"
cat >"$work/config" <<CONF
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $work/users
htpasswd_encryption = plain
[storage]
filesystem_folder = $work/storage
[logging]
level = warning
CONF
/usr/bin/python3 -m radicale --config "$work/config" >"$work/radicale.log" 2>&1 &
server=$!
for _ in $(seq 100); do
  /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1', $port))" 2>/dev/null && break
  sleep 0.1
done

ticks=$(getconf CLK_TCK)
server_cpu() {  # user + system seconds the server has used so far
  awk -v t="$ticks" '{ printf "%.2f", ($14 + $15) / t }' "/proc/$server/stat"
}

run() {  # label
  local before after
  before=$(server_cpu)
  /usr/bin/time -f "%e %U %S" -o "$work/time" "$cli" push "$work/store" "http://127.0.0.1:$port/bench/" \
    --user bench --password-file "$work/password" --jobs "$jobs" --report "$work/report-$1.json" >/dev/null 2>&1 ||
    { echo "push failed" >&2; cat "$work/radicale.log" >&2; exit 1; }
  after=$(server_cpu)
  read -r wall user system <"$work/time"
  /usr/bin/python3 - "$1" "$wall" "$user" "$system" "$before" "$after" "$work/report-$1.json" <<'PY'
import json, sys
label, wall, user, system, before, after, report = sys.argv[1:]
wall, client, server = float(wall), float(user) + float(system), float(after) - float(before)
totals = json.load(open(report))["totals"]
print(f"{label:<7} {totals['records']:>8} {totals['resources']:>10} {totals['sent']:>6} {wall:>8.2f} "
      f"{totals['records'] / wall:>10.0f} {client:>10.2f} {server:>10.2f} {100 * server / wall:>7.0f}%")
PY
}

printf '%-7s %8s %10s %6s %8s %10s %10s %10s %8s\n' run records resources sent wall_s records/s client_cpu server_cpu server
run first
run again
