#!/usr/bin/env bash
# The database layer against raw statements on both engines: a database
# file, and a throwaway PostgreSQL server over its local socket, durable.
# Usage: bench/engines.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$here/build}")
server=$(mktemp -d /tmp/bsc-bench-postgres.XXXXXX)
trap '"$here/scripts/postgres-cluster.sh" stop "$server"' EXIT
address=$(BSC_POSTGRES_DURABLE=1 "$here/scripts/postgres-cluster.sh" start "$server")
for engine in sqlite postgres; do
  args=(--benchmark_min_time=0.5 --benchmark_color=false)
  [ $engine = postgres ] && args+=("--postgres=$address")
  "$build/bench/bench_db" "${args[@]}" 2>/dev/null | grep -E '^(database|twelve|save|ratio)'
done
