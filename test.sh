#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh --configure-only
# Every CMake package the build read must come from the install step.
scripts/check-packages.sh build
scripts/build.sh
cd build
ctest --output-on-failure --parallel 2
