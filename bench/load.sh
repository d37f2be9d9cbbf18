#!/usr/bin/env bash
# Many users at once: WRITERS processes save key figures and measures into
# rows they share and rows of their own for SECONDS against a throwaway
# PostgreSQL server on its local socket (durable, no TCP). Afterwards every
# save a writer was told succeeded must be in the stored value's chain of
# saves (none lost, none twice from the same value), every refused one is
# counted as a conflict, `bsc-db check` must pass and, when the database
# has the history table, it must hold every confirmed save and no refused
# one. Prints saves per second and the counts.
# Usage: bench/load.sh [BUILD_DIR] [WRITERS] [SECONDS]   (default 20 writers,
# 60 s; at most 50 writers, 120 s and 100000 saves each). One writer gives
# the baseline.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$here/build}")
writers=${2:-20}
seconds=${3:-60}
max_saves=100000
[ "$writers" -ge 1 ] && [ "$writers" -le 50 ] || { echo "load.sh: 1 to 50 writers" >&2; exit 2; }
[ "$seconds" -ge 1 ] && [ "$seconds" -le 120 ] || { echo "load.sh: 1 to 120 seconds" >&2; exit 2; }
bscdb="$build/tools/bsc-db"
writer="$build/bench/bench_load_writer"
[ -x "$bscdb" ] && [ -x "$writer" ] || { echo "load.sh: build bsc-db and bench_load_writer first" >&2; exit 2; }

server=$(mktemp -d /tmp/bsc-load.XXXXXX)
work=$(mktemp -d /tmp/bsc-load-work.XXXXXX)
trap '"$here/scripts/postgres-cluster.sh" stop "$server"; rm -rf "$work"' EXIT
PROJEKT_BSC_DATABASE=$(BSC_POSTGRES_DURABLE=1 "$here/scripts/postgres-cluster.sh" start "$server")
export PROJEKT_BSC_DATABASE
"$bscdb" init --demo >/dev/null

# The cells the writers save, as "table row column value" (blanks as _).
snapshot() {
  "$bscdb" query 'select Jahr, Ist_Wert_Q1 from kz_liqui' | awk -F'\t' 'NR>1 {print "kz_liqui", $1, "Ist_Wert_Q1", ($2==""?"-":$2)}'
  "$bscdb" query 'select Jahr, Ist_Wert_Q1 from kz_ges_renta' | awk -F'\t' 'NR>1 {print "kz_ges_renta", $1, "Ist_Wert_Q1", ($2==""?"-":$2)}'
  "$bscdb" query 'select Nr, Maßnahme from maßnahmen' \
    | awk -F'\t' 'NR>1 {v=$2; gsub(/ /, "_", v); print "maßnahmen", $1, "Maßnahme", (v==""?"-":v)}'
}
history() {
  if "$bscdb" query 'select * from bsc_history' >"$1" 2>/dev/null; then return 0; fi
  rm -f "$1"
  return 1
}
snapshot >"$work/before"
shared=$("$bscdb" query 'select Nr from maßnahmen' | sed -n 2p)
has_history=0
history "$work/history-before" && has_history=1

start=$(date +%s.%N)
pids=()
for ((i = 0; i < writers; i++)); do
  "$writer" "$i" "$seconds" "$max_saves" "$shared" >"$work/writer-$i.log" 2>"$work/writer-$i.err" &
  pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
end=$(date +%s.%N)
snapshot >"$work/after"
cat "$work"/writer-*.log >"$work/saves"
[ "$failed" -eq 0 ] || { echo "FAULT: $failed writers stopped:"; cat "$work"/writer-*.err; }

faults=0
# The confirmed saves of a cell form one chain from its first value to the
# stored one.
awk -v before="$work/before" -v after="$work/after" '
  BEGIN {
    while ((getline l < before) > 0) { split(l, f, " "); init[f[1] " " f[2] " " f[3]] = f[4] }
    while ((getline l < after) > 0) { split(l, f, " "); final[f[1] " " f[2] " " f[3]] = f[4] }
  }
  $1 == "OK" {
    cell = $2 " " $3 " " $4
    if ((cell, $5) in next_) { if (bad++ < 10) print "FAULT: two confirmed saves from the same value of " cell ": " $5 }
    next_[cell, $5] = $6; count[cell]++
    if (!(cell in first)) first[cell] = $5
  }
  END {
    for (cell in final) {
      v = (cell in init) ? init[cell] : first[cell]
      n = 0
      while ((cell, v) in next_ && n <= count[cell]) { v = next_[cell, v]; n++ }
      if (n != count[cell] + 0 || v != final[cell]) {
        if (bad++ < 20) print "FAULT: " cell ": stored " final[cell] ", " n " of " count[cell] + 0 " confirmed saves lead to " v
      }
    }
    exit bad > 0
  }' "$work/saves" || faults=$((faults + 1))

if ! "$bscdb" check >"$work/check" 2>&1; then
  echo "FAULT: bsc-db check:"; grep -v ': one row per year' "$work/check"; faults=$((faults + 1))
fi

if [ "$has_history" = 1 ] && history "$work/history-after"; then
  # Every confirmed save's new value in exactly one new history row as the
  # new value (and in one more as the old value of each confirmed save made
  # from it), no refused save's value in any.
  tail -n +"$(($(wc -l <"$work/history-before") + 1))" "$work/history-after" >"$work/history-new" || true
  awk -v hist="$work/history-new" '
    BEGIN { while ((getline l < hist) > 0) { gsub(/ /, "_", l); n = split(l, f, "\t"); for (i = 1; i <= n; i++) seen[f[i]]++ } }
    $1 == "OK" { ok[NR] = $0; olds[$5]++; next }
    $1 != "OK" && $1 != "ERROR" && seen[$6] > 0 { if (bad++ < 10) print "FAULT: the history holds the refused save to " $6 }
    END {
      for (k in ok) {
        split(ok[k], f, " ")
        if (seen[f[6]] != 1 + olds[f[6]]) { if (bad++ < 10) print "FAULT: the history holds the save of " f[2] " " f[3] " " f[4] " to " f[6] " " seen[f[6]] + 0 " times" }
      }
      exit bad > 0
    }' "$work/saves" || faults=$((faults + 1))
  history_note="history checked"
else
  history_note="no history table: not checked"
fi

awk -v writers="$writers" -v t0="$start" -v t1="$end" -v faults="$faults" -v note="$history_note" '
  { r[$1]++ }
  END {
    s = t1 - t0
    printf "writers %d, %.1f s: %d saves confirmed (%.1f per second), %d conflicts, %d locked, %d errors; %s; %s\n",
      writers, s, r["OK"], r["OK"] / s, r["CONFLICT"], r["LOCKED"], r["ERROR"], note,
      faults == 0 ? "no faults" : faults " FAULTS"
  }' "$work/saves"
grep -m3 '^ERROR' "$work/saves" || true
[ "$faults" -eq 0 ] && [ "$failed" -eq 0 ]
