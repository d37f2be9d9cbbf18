#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests, listening only on a Unix
# socket in its own folder.
#   scripts/postgres-cluster.sh start DIR   prints the address of its "postgres" database
#   scripts/postgres-cluster.sh stop DIR    stops it and removes DIR
# The server may not run as root; as root it runs as the user postgres.
set -euo pipefail
action=${1:?usage: postgres-cluster.sh start|stop DIR}
dir=${2:?usage: postgres-cluster.sh start|stop DIR}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
[ -x "$bin/pg_ctl" ] || { echo "postgres-cluster: no PostgreSQL server found (Debian package postgresql)" >&2; exit 1; }

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "$action" in
  start)
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U postgres --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
      || { cat "$dir/initdb.log" >&2; exit 1; }
    # Only a socket, no TCP port. Durability is not what the tests test;
    # benchmarks of saving ask for it with BSC_POSTGRES_DURABLE=1.
    settings="-k $dir -c listen_addresses='' -c max_connections=200"
    [ "${BSC_POSTGRES_DURABLE:-0}" = 1 ] || settings="$settings -c fsync=off -c full_page_writes=off"
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 -o "$settings" start >/dev/null \
      || { cat "$dir/server.log" >&2; exit 1; }
    echo "postgresql:///postgres?host=$dir&user=postgres"
    ;;
  stop)
    if [ -d "$dir/data" ]; then
      as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
  *)
    echo "usage: postgres-cluster.sh start|stop DIR" >&2
    exit 2
    ;;
esac
