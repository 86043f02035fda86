#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Loopback load test of quillmark-relay with an upstream that answers at once: requests per
# second and the latency the relay adds (p50/p99 through the relay minus straight to the
# upstream), on SQLite and PostgreSQL, with one and with two relay instances. Builds an
# optimised relay in build/bench; PostgreSQL runs privately in a temporary folder (as the
# postgres user when run as root). Bounded: each run lasts DURATION seconds.
#
# usage: benchmarks/relay/run.sh [DURATION] [CONNECTIONS]    (defaults 10 s, 16 connections)
set -euo pipefail
cd "$(dirname "$0")/../.."
duration=${1:-10}
connections=${2:-16}
here=benchmarks/relay

command -v wrk >/dev/null || { echo "wrk is missing (apt-get install wrk)" >&2; exit 1; }
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMARK_BUILD_TESTS=OFF \
  ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
cmake --build build/bench --target quillmark-relay >/dev/null
relay=$PWD/build/bench/src/relay/quillmark-relay

work=$(mktemp -d)
chmod 755 "$work"
pids=()
pg_ctl=/usr/lib/postgresql/15/bin/pg_ctl
as_postgres=()
[ "$(id -u)" -ne 0 ] || as_postgres=(runuser -u postgres --)
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ ! -d "$work/pg" ] || "${as_postgres[@]}" "$pg_ctl" -D "$work/pg/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

python3 $here/instant-upstream.py >"$work/upstream.port" &
pids+=($!)
while [ ! -s "$work/upstream.port" ]; do sleep 0.1; done
upstream=http://127.0.0.1:$(cat "$work/upstream.port")

# wrk's summary: requests a second, p50 and p99 in milliseconds, failures.
measure() { # URL PATH
  wrk -t1 -c"$connections" -d"${duration}s" --latency -s $here/post.lua "$1$2" >"$work/wrk.$3" 2>&1
}
figures() { # FILE → "rps p50 p99 non2xx"
  awk '
    function ms(v) { if (v ~ /us$/) return v/1000; if (v ~ /ms$/) return v+0; if (v ~ /s$/) return v*1000; return v }
    /Requests\/sec/ { rps=$2 } / 50% / { p50=ms($2) } / 99% / { p99=ms($2) }
    /Non-2xx/ { bad=$NF }
    END { printf "%.0f %.2f %.2f %d\n", rps, p50, p99, bad }' "$1"
}

measure "$upstream" /v1/chat/completions direct
read -r direct_rps direct_p50 direct_p99 _ < <(figures "$work/wrk.direct")
echo "upstream alone: $direct_rps req/s, p50 $direct_p50 ms, p99 $direct_p99 ms ($connections connections)"

start_postgres() {
  mkdir -p "$work/pg" && chown postgres: "$work/pg" 2>/dev/null || true
  "${as_postgres[@]}" /usr/lib/postgresql/15/bin/initdb -D "$work/pg/data" -A trust -U relay \
    --no-sync -E UTF8 >/dev/null
  "${as_postgres[@]}" "$pg_ctl" -D "$work/pg/data" -w -l "$work/pg/log" \
    -o "-c listen_addresses='' -c fsync=off -c synchronous_commit=off -k $work/pg" start >/dev/null
  echo "postgresql://relay@localhost/postgres?host=$work/pg"
}

run_case() { # NAME DATABASE INSTANCES
  local name=$1 database=$2 instances=$3 ports=() i
  cat >"$work/relay.conf" <<CONF
listen = 127.0.0.1:0
upstream_url = $upstream/v1
database = $database
rate_limit_per_minute = 0
CONF
  RELAY_TOKEN=$("$relay" --config "$work/relay.conf" token create "bench-$name" \
    --monthly-tokens 1000000000000 2>/dev/null)
  export RELAY_TOKEN
  for i in $(seq "$instances"); do
    "$relay" --config "$work/relay.conf" serve 2>"$work/relay.$name.$i.log" &
    pids+=($!)
    until grep -q "listening on" "$work/relay.$name.$i.log"; do sleep 0.1; done
    ports+=("$(sed -n 's/.*listening on [0-9.]*:\([0-9]*\).*/\1/p' "$work/relay.$name.$i.log")")
  done
  local load=()
  for i in "${!ports[@]}"; do
    measure "http://127.0.0.1:${ports[$i]}" /ai "$name.$i" &
    load+=($!)
  done
  wait "${load[@]}"
  local total=0 p50=0 p99=0 bad=0 rps a b c d
  for i in "${!ports[@]}"; do
    read -r a b c d < <(figures "$work/wrk.$name.$i")
    total=$((total + a)); bad=$((bad + d))
    p50=$(awk -v x="$p50" -v y="$b" 'BEGIN{print (y>x)?y:x}')
    p99=$(awk -v x="$p99" -v y="$c" 'BEGIN{print (y>x)?y:x}')
  done
  printf "%-22s %8s req/s   p50 %6.2f ms (+%.2f)   p99 %6.2f ms (+%.2f)   failed %d\n" \
    "$name" "$total" "$p50" "$(awk -v a="$p50" -v b="$direct_p50" 'BEGIN{print a-b}')" \
    "$p99" "$(awk -v a="$p99" -v b="$direct_p99" 'BEGIN{print a-b}')" "$bad"
  for pid in "${pids[@]:1}"; do kill "$pid" 2>/dev/null || true; done
  pids=("${pids[0]}")
  sleep 0.5
}

run_case sqlite-1 "sqlite:$work/relay.db" 1
run_case sqlite-2 "sqlite:$work/relay.db" 2
postgres=$(start_postgres)
run_case postgresql-1 "$postgres" 1
run_case postgresql-2 "$postgres" 2
