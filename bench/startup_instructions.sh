#!/usr/bin/env bash
# Instructions from process start to the first painted main window, counted
# by callgrind under Xvfb, of bsc against the minimal window
# (bench_minimal_window): less noisy than the clock on a shared machine.
# The count stops where the first paint is reported (FirstPaint::Watch reads
# its processor time with getrusage).
# Usage: bench/startup_instructions.sh [OUTDIR]   (build dir: $BUILD or build/;
#        BSC=path counts another build of the program; OUTDIR keeps the
#        callgrind files for callgrind_annotate)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${BUILD:-build}")
bsc=$(realpath "${BSC:-$build/app/bsc}")
minimal=$build/bench/bench_minimal_window
for program in "$bsc" "$minimal" "$build/tools/bsc-db" "$(command -v valgrind)"; do
  [ -x "$program" ] || { echo "startup_instructions.sh: $program is missing" >&2; exit 1; }
done

. bench/firstpaint_setup.sh
out=$(realpath -m "${1:-$work/out}")
mkdir -p "$out"

# The first dump holds everything up to the report of the first paint.
count() {
  local name=$1 program=$2
  rm -f "$out/$name".*
  valgrind --tool=callgrind --callgrind-out-file="$out/$name.%p" --dump-before=getrusage \
    "$program" >/dev/null 2>"$out/$name.log"
  local first
  first=$(ls "$out/$name".[0-9]*.1 2>/dev/null | head -1)
  [ -n "$first" ] || { echo "startup_instructions.sh: no dump for $name (see $out/$name.log)" >&2; exit 1; }
  awk '/^summary:/ { print $2 }' "$first"
}
b=$(count bsc "$bsc")
m=$(count minimal "$minimal")
awk -v b="$b" -v m="$m" 'BEGIN {
  printf "instructions to the first paint (callgrind)\n  bsc             %8.1f M\n  minimal window  %8.1f M\n", b / 1e6, m / 1e6
  printf "ratio bsc / minimal window = %.2f\n", b / m }'
