# Sourced by the benches that time bsc-db printing against sqlite3: a work
# folder of their own ($work, removed at exit) and the two measures.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mean() {   # mean seconds of ten runs
  hyperfine -N --warmup 2 --runs 10 --export-csv "$work/h.csv" "$1" >/dev/null 2>&1
  awk -F, 'NR == 2 { printf "%.3f\n", $(NF - 6) }' "$work/h.csv"
}
peak() {   # peak resident kilobytes of one run
  /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -n1
}
