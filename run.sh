#!/usr/bin/env bash
# Installs what is missing, builds, creates the database if there is none,
# and starts the program. With --demo it uses a separate demo database with
# sample data instead, so that real data is never touched.
set -euo pipefail
cd "$(dirname "$0")"

demo=0
if [ "${1:-}" = "--demo" ]; then
  demo=1
  shift
fi

scripts/install-deps.sh
scripts/build.sh bsc bsc-db

if [ $demo -eq 1 ]; then
  export PROJEKT_BSC_DATABASE="${XDG_DATA_HOME:-$HOME/.local/share}/tarvo-bsc/demo.sqlite"
fi
database=$(build/tools/bsc-db path)
# A shared database on a server is made once by whoever sets it up.
if [[ "$database" != postgresql://* ]] && [ ! -f "$database" ]; then
  if [ $demo -eq 1 ]; then
    build/tools/bsc-db init --demo
  else
    build/tools/bsc-db init
  fi
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found (DISPLAY is not set); the program needs a desktop session." >&2
  exit 1
fi
exec build/app/bsc "$@"
