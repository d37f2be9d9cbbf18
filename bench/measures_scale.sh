#!/usr/bin/env bash
# The Measures page and editor on 100 and on 100,000 measures: each
# operation against the raw statements it needs, and the peak resident
# memory of both runs.
# Usage: bench/measures_scale.sh [BUILD_DIR]
set -euo pipefail
build=$(realpath "${1:-build}")
for n in 100 100000; do
  echo "== $n measures"
  "$build/bench/bench_measures" --measures=$n --benchmark_min_time=0.3 --benchmark_color=false 2>/dev/null \
    | grep -E '^(measures/|ratio|peak)'
done
