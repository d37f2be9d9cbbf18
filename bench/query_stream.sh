#!/usr/bin/env bash
# "bsc-db query" printing a whole measures table against sqlite3 printing
# the same table, for 100 and 100,000 measures: the mean time of ten runs
# (hyperfine) and the peak resident memory of each (GNU time).
# Usage: bench/query_stream.sh [BUILD_DIR]
set -euo pipefail
build=$(realpath "${1:-build}")
. "$(dirname "$0")/stream_timing.sh"

for n in 100 100000; do
  db="$work/m$n.sqlite"
  PROJEKT_BSC_DATABASE="$db" "$build/tools/bsc-db" init >/dev/null
  sqlite3 "$db" "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM c WHERE i<$n)
    INSERT INTO \"maßnahmen\" (\"Maßnahme\", \"Prozesse\", \"Gültig_ab\", \"Gültig_bis\", \"Verantwortlicher\",
                               \"Erfüllungsgrad_in_%\", \"Jahr\", \"Ziel\")
    SELECT 'Maßnahme ' || i || ': Abläufe prüfen und den Fortschritt monatlich im Führungskreis berichten',
           'Controlling' || char(10) || 'Vertrieb', '01.01.2005', '31.12.2005', 'Fr. Albers', i % 101,
           2003 + i % 12, 'Steigerung der Gesamtrentabilität' FROM c;"
  ours="env PROJEKT_BSC_DATABASE=$db $build/tools/bsc-db query 'select * from maßnahmen'"
  lite="sqlite3 $db 'select * from \"maßnahmen\"'"
  ours_s=$(mean "$ours")
  lite_s=$(mean "$lite")
  ours_kb=$(peak env PROJEKT_BSC_DATABASE="$db" "$build/tools/bsc-db" query "select * from maßnahmen")
  lite_kb=$(peak sqlite3 "$db" "select * from \"maßnahmen\"")
  ratio=$(awk -v a="$ours_s" -v b="$lite_s" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }')
  echo "$n measures: bsc-db ${ours_s} s, ${ours_kb} kB; sqlite3 ${lite_s} s, ${lite_kb} kB; time ratio $ratio"
done
