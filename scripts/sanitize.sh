#!/usr/bin/env bash
# Builds everything in build-sanitize/ with AddressSanitizer and
# UndefinedBehaviorSanitizer (gcc) and runs every CTest test there, the
# tests labelled postgresql on a throwaway server of their own. Every
# report fails: the first one stops its program, and the reports of the
# programs the tests start (bsc, bsc-db) are collected as files too, so a
# test that only looks at a child's output cannot hide one.
#
# Usage: scripts/sanitize.sh [CTEST ARGUMENTS...]   e.g. -R tst_db
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
build=${BSC_SANITIZE_BUILD:-build-sanitize}
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBSC_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --parallel 2

reports="$here/$build/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
# A report exits with 86, which no test expects of a program; log_path
# keeps one file per process that reported.
common="exitcode=86:log_path=$reports/report:print_summary=1"
# intercept_tls_get_addr=0: the leak check of this gcc's ASan crashes on
# the dynamic TLS that Qt's report and font code leaves ("Tracer caught
# signal 11"); leaks are still looked for everywhere else.
export ASAN_OPTIONS="$common:detect_leaks=1:strict_init_order=1:check_initialization_order=1:intercept_tls_get_addr=0"
export UBSAN_OPTIONS="$common:print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$here/scripts/sanitize.supp"

server=$(mktemp -d /tmp/bsc-postgres.XXXXXX)
trap '"$here/scripts/postgres-cluster.sh" stop "$server"' EXIT
BSC_TEST_POSTGRES=$(scripts/postgres-cluster.sh start "$server")
export BSC_TEST_POSTGRES

status=0
(cd "$build" && ctest --output-on-failure --parallel 2 "$@") || status=$?
if compgen -G "$reports/report*" >/dev/null; then
  echo "sanitize: reports of ASan or UBSan:" >&2
  for report in "$reports"/report*; do
    echo "--- $report" >&2
    head -n 40 "$report" >&2
  done
  status=1
fi
[ $status -eq 0 ] && echo "sanitize: every test ran clean under ASan and UBSan"
exit $status
