#!/usr/bin/env bash
# Whole-process start-up under Xvfb: from process start (a clock taken by
# this script just before it starts the program) to the first painted main
# window, of bsc against a minimal Qt Widgets window of the same size with
# one label (bench_minimal_window), in alternating runs; prints the medians
# and their ratio, of the wall time and of the processor time (user + system,
# which depends less on what else the machine runs), and the peak RSS of both.
# Usage: bench/startup.sh [RUNS]   (default 21; build dir: $BUILD or build/;
#        BSC=path measures another build of the program, e.g. an older one)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}
build=$(realpath "${BUILD:-build}")
bsc=$(realpath "${BSC:-$build/app/bsc}")
minimal=$build/bench/bench_minimal_window
for program in "$bsc" "$minimal" "$build/tools/bsc-db"; do
  [ -x "$program" ] || { echo "startup.sh: $program is missing; build bsc bsc-db bench_minimal_window" >&2; exit 1; }
done

. bench/firstpaint_setup.sh

# One run: prints "wall-ms cpu-ms peak-rss-kB".
measure() {
  local start out
  start=${EPOCHREALTIME/./}
  out=$("$1")
  awk -v start="$start" '/^first_paint_us/ { t = $2 } /^cpu_us/ { c = $2 } /^max_rss_kb/ { r = $2 }
       END { if (!t) exit 1; printf "%.2f %.2f %d\n", (t - start) / 1000, c / 1000, r }' <<<"$out"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# A first run of each fills the file caches.
measure "$bsc" >/dev/null
measure "$minimal" >/dev/null
: >"$work/bsc" >"$work/minimal"
for ((i = 0; i < runs; ++i)); do
  if ((i % 2 == 0)); then
    measure "$bsc" >>"$work/bsc"; measure "$minimal" >>"$work/minimal"
  else
    measure "$minimal" >>"$work/minimal"; measure "$bsc" >>"$work/bsc"
  fi
done

b=$(cut -d' ' -f1 "$work/bsc" | median)
m=$(cut -d' ' -f1 "$work/minimal" | median)
bc=$(cut -d' ' -f2 "$work/bsc" | median)
mc=$(cut -d' ' -f2 "$work/minimal" | median)
br=$(cut -d' ' -f3 "$work/bsc" | median)
mr=$(cut -d' ' -f3 "$work/minimal" | median)
printf 'start-up to first paint, median of %d alternating runs\n' "$runs"
printf '  bsc             %8.1f ms wall  %8.1f ms cpu   peak RSS %6d kB\n' "$b" "$bc" "$br"
printf '  minimal window  %8.1f ms wall  %8.1f ms cpu   peak RSS %6d kB\n' "$m" "$mc" "$mr"
awk -v b="$b" -v m="$m" 'BEGIN { printf "ratio bsc / minimal window = %.2f (wall)\n", b / m }'
awk -v b="$bc" -v m="$mc" 'BEGIN { printf "ratio bsc / minimal window = %.2f (cpu)\n", b / m }'
