#!/usr/bin/env bash
# "bsc-db history" printing 100,000 recorded changes against sqlite3
# printing the same rows newest first: the mean time of ten runs
# (hyperfine) and the peak resident memory of each (GNU time).
# Usage: bench/history_stream.sh [BUILD_DIR]
set -euo pipefail
build=$(realpath "${1:-build}")
. "$(dirname "$0")/stream_timing.sh"

n=100000
db="$work/h.sqlite"
PROJEKT_BSC_DATABASE="$db" "$build/tools/bsc-db" init >/dev/null
sqlite3 "$db" "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM c WHERE i<$n)
  INSERT INTO bsc_history (time_utc, user_name, source, table_name, row_key, column_name, old_value, new_value)
  SELECT strftime('%Y-%m-%dT%H:%M:%fZ', 'now'), 'anna', 'dialog', 'kz_liqui', 2003 + i % 25, 'Ist_Wert_Q' || (1 + i % 4),
         i - 1, i FROM c;"
for form in tab csv; do
  flag=""; [ $form = csv ] && flag="--csv"
  ours="env PROJEKT_BSC_DATABASE=$db $build/tools/bsc-db history $flag"
  if [ $form = csv ]; then
    lite="sqlite3 -csv $db 'select time_utc, user_name, source, table_name, row_key, column_name, old_value, new_value from bsc_history order by id desc'"
  else
    lite="sqlite3 -separator '	' $db 'select time_utc, user_name, source, table_name, row_key, column_name, old_value, new_value from bsc_history order by id desc'"
  fi
  ours_s=$(mean "$ours")
  lite_s=$(mean "$lite")
  ours_kb=$(peak env PROJEKT_BSC_DATABASE="$db" "$build/tools/bsc-db" history $flag)
  ratio=$(awk -v a="$ours_s" -v b="$lite_s" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }')
  echo "$n changes ($form): bsc-db ${ours_s} s, ${ours_kb} kB; sqlite3 ${lite_s} s; time ratio $ratio"
done
