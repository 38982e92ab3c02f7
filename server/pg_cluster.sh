#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the score server's tests and load figures: made with initdb
# in a fresh folder under /tmp, run by an unprivileged user (nobody when started as root, since
# PostgreSQL refuses root), reachable only through a Unix socket in that folder, so two at once
# never meet. Trust authentication for its superuser "lambrisk".
#   pg_cluster.sh start RECORD   starts one; RECORD (a folder) gets the files "url" (a
#                                postgresql:// URL of its "postgres" database) and "cluster"
#                                (its folder). A cluster an earlier start left there is stopped.
#   pg_cluster.sh stop RECORD    stops it and deletes its folder.
set -euo pipefail
command=${1:?start or stop}
record=${2:?record folder}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/initdb" ] || { echo "pg_cluster.sh: PostgreSQL is not installed (tools/scripts/install-deps.sh test)" >&2; exit 1; }

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

stop() {
  local cluster
  cluster=$(cat "$record/cluster" 2>/dev/null) || return 0
  if [ -d "$cluster/data" ]; then
    as_owner "$bin/pg_ctl" -D "$cluster/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$cluster" "$record/cluster" "$record/url"
}

case $command in
  start)
    mkdir -p "$record"
    stop
    cluster=$(mktemp -d /tmp/lambrisk-pg.XXXXXX)
    [ "$(id -u)" -eq 0 ] && chown nobody "$cluster"
    chmod 700 "$cluster"
    echo "$cluster" >"$record/cluster"
    as_owner "$bin/initdb" -D "$cluster/data" -U lambrisk --auth=trust -E UTF8 --no-locale --no-sync \
      >"$cluster/initdb.log" 2>&1 || { cat "$cluster/initdb.log" >&2; exit 1; }
    # No TCP at all; fsync is off as nothing here must outlive the machine: a killed client or
    # server process loses nothing either way.
    as_owner "$bin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w -t 60 \
      -o "-c listen_addresses= -c unix_socket_directories=$cluster -c fsync=off -c max_connections=200" start \
      >/dev/null || { cat "$cluster/server.log" >&2; exit 1; }
    echo "postgresql:///postgres?host=$cluster&user=lambrisk" >"$record/url"
    cat "$record/url"
    ;;
  stop) stop ;;
  *) echo "pg_cluster.sh: start or stop" >&2; exit 2 ;;
esac
