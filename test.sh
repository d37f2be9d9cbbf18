#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, the
# tests of the shared database on a throwaway PostgreSQL server of its own;
# then runs each fuzz target for 20 seconds and every test again in a
# build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh --configure-only
# Every CMake package the build read must come from the install step.
scripts/check-packages.sh build
scripts/build.sh

here=$(pwd)
server=$(mktemp -d /tmp/bsc-postgres.XXXXXX)
trap '"$here/scripts/postgres-cluster.sh" stop "$server"' EXIT
BSC_TEST_POSTGRES=$(scripts/postgres-cluster.sh start "$server" --tls)
export BSC_TEST_POSTGRES

# The normal build's tests first: a plain failure shows before the long runs.
(cd build && ctest --output-on-failure --parallel 2)
scripts/postgres-cluster.sh stop "$server"
trap - EXIT
unset BSC_TEST_POSTGRES

# A fixed seed: the test command repeats the same inputs on every machine,
# the search for new ones is done by hand (scripts/fuzz.sh).
BSC_FUZZ_SEED=1 scripts/fuzz.sh 20
scripts/sanitize.sh
