#!/usr/bin/env bash
# Configures (once) and builds the given targets, or everything.
# With --configure-only it stops after configuring.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
[ "${1:-}" = "--configure-only" ] && exit 0
if [ $# -gt 0 ]; then
  cmake --build build --parallel 2 --target "$@"
else
  cmake --build build --parallel 2
fi
