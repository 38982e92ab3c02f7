#!/usr/bin/env bash
# The score server's load figures on loopback, for SQLite, for PostgreSQL and for two server
# processes on one PostgreSQL: score_bench (clients that log in, fetch and submit as the game
# does; each server process killed once and started again; nothing acknowledged may be missing),
# again with replays required on SQLite and PostgreSQL (every submission proven by its replay),
# and wrk (2 threads, 32 connections, 10 s, fetching a full table), then score_flood (the health
# check's latency while 32 connections from 200 addresses send wrong passwords through an escaped
# login path). It prints them and asserts nothing. PostgreSQL is a throwaway cluster of its own (pg_cluster.sh).
#   load_figures.sh [BUILD=build] [SECONDS=20] [CLIENTS=16]
# Needs wrk (apt-get install wrk) besides what tools/scripts/install-deps.sh test installs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
seconds=${2:-20}
clients=${3:-16}
tools=$build/server
command -v wrk >/dev/null || { echo "load_figures.sh: wrk is not installed (apt-get install wrk)" >&2; exit 1; }
work=$(mktemp -d /tmp/score-figures-XXXXXX)
chmod 755 "$work"
servers=()
cleanup() {
  for p in "${servers[@]}"; do kill "$p" 2>/dev/null || true; done
  bash "$here/pg_cluster.sh" stop "$work/pg"
  rm -rf "$work"
}
trap cleanup EXIT
cluster=$(bash "$here/pg_cluster.sh" start "$work/pg")
# A new database of the cluster, by its URL.
database() {
  psql -q "$cluster" -c "CREATE DATABASE $1"
  echo "${cluster/\/postgres\?//$1?}"
}

# Serves database with count processes on one port (SO_REUSEPORT shares its connections) and
# runs wrk on a table that a short score_bench run filled.
wrk_run() {
  local db=$1 count=$2 port
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  for i in $(seq "$count"); do
    "$tools/score_server" --bind 127.0.0.1 --port "$port" --db "$db" --reuse_port yes >"$work/wrk$i.log" 2>&1 &
    servers+=($!)
    until grep -q listening "$work/wrk$i.log"; do sleep 0.1; done
  done
  wrk -t2 -c32 -d10s --latency "http://127.0.0.1:$port/enscore/tables/3/101.txt" | grep -E "Latency|50%|99%|Requests/sec|requests in|Non-2xx|Socket errors"
  for p in "${servers[@]}"; do kill "$p"; done
  wait "${servers[@]}" 2>/dev/null || true
  servers=()
}

echo "== score_bench $seconds $clients: SQLite"
"$tools/score_bench" "$seconds" "$clients"
echo "== score_bench $seconds $clients: PostgreSQL"
"$tools/score_bench" "$seconds" "$clients" "$(database bench_one)"
echo "== score_bench $seconds $clients: two server processes on one PostgreSQL"
"$tools/score_bench" "$seconds" "$clients" "$(database bench_two)" 2
echo "== score_bench $seconds $clients, replays required: SQLite"
"$tools/score_bench" --replays "$seconds" "$clients"
echo "== score_bench $seconds $clients, replays required: PostgreSQL"
"$tools/score_bench" --replays "$seconds" "$clients" "$(database bench_replays)"

"$tools/score_bench" 3 4 "$work/wrk.db" >/dev/null
echo "== wrk, one table: SQLite"
wrk_run "$work/wrk.db" 1
pg=$(database wrk)
"$tools/score_bench" 3 4 "$pg" >/dev/null
echo "== wrk, one table: PostgreSQL"
wrk_run "$pg" 1
echo "== wrk, one table: two server processes on one PostgreSQL"
wrk_run "$pg" 2
echo "== score_flood 10 32: /healthz during a password flood through an escaped path (SQLite)"
"$tools/score_flood" 10 32
