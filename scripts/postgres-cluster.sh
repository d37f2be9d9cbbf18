#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests, listening only on a Unix
# socket in its own folder.
#   scripts/postgres-cluster.sh start DIR [--tls]
#                                           prints the address of its "postgres" database
#   scripts/postgres-cluster.sh stop DIR    stops it and removes DIR
# With --tls it also listens on 127.0.0.1 (never another address) for
# encrypted connections only, with a certificate made for it: DIR/tls holds
# ca.crt (the CA that signed it, for localhost and 127.0.0.1), other-ca.crt
# (a CA that did not) and port. Password roles log in there with
# scram-sha-256; the socket stays trusted.
# The server may not run as root; as root it runs as the user postgres.
set -euo pipefail
action=${1:?usage: postgres-cluster.sh start|stop DIR}
dir=${2:?usage: postgres-cluster.sh start|stop DIR}
tls=0
[ "${3:-}" = --tls ] && tls=1
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
    if [ "$tls" = 1 ]; then
      command -v openssl >/dev/null || { echo "postgres-cluster: --tls needs openssl (Debian package openssl)" >&2; exit 1; }
      t="$dir/tls"
      mkdir -p "$t"
      {
        openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=bsc test CA" \
          -keyout "$t/ca.key" -out "$t/ca.crt"
        openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=bsc other CA" \
          -keyout "$t/other-ca.key" -out "$t/other-ca.crt"
        openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" -keyout "$t/server.key" -out "$t/server.csr"
        printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\n' >"$t/san.ext"
        openssl x509 -req -in "$t/server.csr" -CA "$t/ca.crt" -CAkey "$t/ca.key" -CAcreateserial -days 2 \
          -extfile "$t/san.ext" -out "$t/server.crt"
      } >"$dir/openssl.log" 2>&1 || { cat "$dir/openssl.log" >&2; exit 1; }
      rm -f "$t/ca.key" "$t/other-ca.key" "$t/server.csr"
      chmod 600 "$t/server.key"
      [ "$(id -u)" -eq 0 ] && chown -R postgres: "$t"
      chmod 644 "$t/ca.crt" "$t/other-ca.crt"
      # A free port on the loopback address.
      port=55432
      while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
      echo "$port" >"$t/port"
      # Only encrypted connections with a password over TCP.
      printf 'local all all trust\nhostssl all all 127.0.0.1/32 scram-sha-256\n' >"$dir/data/pg_hba.conf"
      settings="-k $dir -c listen_addresses=127.0.0.1 -p $port -c max_connections=200 -c ssl=on"
      settings="$settings -c ssl_cert_file=$t/server.crt -c ssl_key_file=$t/server.key -c password_encryption=scram-sha-256"
      [ "${BSC_POSTGRES_DURABLE:-0}" = 1 ] || settings="$settings -c fsync=off -c full_page_writes=off"
    fi
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 -o "$settings" start >/dev/null \
      || { cat "$dir/server.log" >&2; exit 1; }
    if [ "$tls" = 1 ]; then
      echo "postgresql:///postgres?host=$dir&port=$port&user=postgres"
    else
      echo "postgresql:///postgres?host=$dir&user=postgres"
    fi
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
