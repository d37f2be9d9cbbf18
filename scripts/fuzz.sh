#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz (clang, libFuzzer, ASan and UBSan)
# in build-fuzz/ and runs each in turn for SECONDS (default 30), starting
# from its seeds and the inputs that once crashed it. What a run finds is
# kept in build-fuzz/corpus/NAME/ for the next run. An input that crashes
# a target is kept as tests/fuzz/crashes/NAME-crash-*, and the script exits 1.
# Once mended, move it to tests/fuzz/regressions/NAME/: every test run
# replays those (ctest -R fuzz_replay).
#
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
[[ $seconds =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2; }
build=${BSC_FUZZ_BUILD:-build-fuzz}

if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DBSC_FUZZ=ON "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --parallel 2

# The names between "set(BSC_FUZZ_TARGETS" and ")".
mapfile -t targets < <(sed -n '/^set(BSC_FUZZ_TARGETS/,/)/{/set(\|)/d;s/[[:space:]]//g;/./p}' tests/fuzz/targets.cmake)
[ ${#targets[@]} -gt 0 ] || { echo "fuzz: no targets in tests/fuzz/targets.cmake" >&2; exit 1; }

# BSC_FUZZ_SEED fixes libFuzzer's choices, so that a run repeats what an
# earlier run with the same seed tried; without it every run explores anew.
seed=()
[ -n "${BSC_FUZZ_SEED:-}" ] && seed=(-seed="$BSC_FUZZ_SEED")

mkdir -p tests/fuzz/crashes
failed=()
for name in "${targets[@]}"; do
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  seeds=(tests/fuzz/corpus/"$name")
  [ -d tests/fuzz/regressions/"$name" ] && seeds+=(tests/fuzz/regressions/"$name")
  log="$build/fuzz-$name.log"
  status=0
  # New inputs go into the first folder only; the seeds stay as they are.
  "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 "${seed[@]}" \
    -artifact_prefix="tests/fuzz/crashes/$name-" "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if [ $status -eq 0 ]; then
    echo "fuzz $name: ${runs:-?} inputs in ${seconds} s (${rate:-?} per second), no fault"
  else
    echo "fuzz $name: FAULT (exit $status) after ${runs:-?} inputs; see $log" >&2
    grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz_|.*runtime error)' "$log" | head -n 5 >&2 || true
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: faults in ${failed[*]}; the inputs are in tests/fuzz/crashes/:" >&2
  ls -1 tests/fuzz/crashes/ | grep -v '^\.' >&2 || true
  exit 1
fi
