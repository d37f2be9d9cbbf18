# Sourced by the start-up benches, which set $build: a folder of their own
# ($work, removed at exit with the X server), a demo database and a settings
# folder nobody else writes, and one X server for all runs, on which the
# programs exit after their first paint.
work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export PROJEKT_BSC_DATABASE=$work/bench.sqlite XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$build/tools/bsc-db" init --demo >/dev/null

# The server tells its display number on fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "$(basename "$0"): Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display") QT_QPA_PLATFORM=xcb BSC_EXIT_AFTER_FIRST_PAINT=1
