#!/usr/bin/env bash
# Makes the pictures of the README again: the main window sampling a running
# simulated drive (Chinese and English) and the parameter set window after
# "读取全部", compared with a file. Runs on a virtual X server (xvfb-run), so
# it needs no display and shows nothing.
#
#   scripts/screenshots.sh [build-dir] [out-dir]      # default: build docs/screenshots
#   CHECKS=1 scripts/screenshots.sh build /tmp/shots  # also every status part and
#                                                      # the small windows, to look at
#
# As scripts/run.sh does, the simulated drive is reached as "COM 3" through a
# link in a temporary XDG_DATA_HOME; the user's settings are not touched.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
out=${2:-$src/docs/screenshots}
helper="$build/tests/support/kv-screenshots"
sim="$build/tools/drive-sim/drive-sim"

cmake --build "$build" --target kv-screenshots drive-sim >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/kolven-shots.XXXXXX")
ports="$work/data/KOLVEN/kolven-assistant/ports"
mkdir -p "$ports" "$out"
sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

for language in zh en; do
  # A drive of its own for each run, started afresh (stopped, at rest).
  "$sim" --seed 1 --verbose --link "$ports/COM3" >"$work/sim.path" 2>"$work/sim.log" &
  sim_pid=$!
  for _ in $(seq 1 100); do
    [ -L "$ports/COM3" ] && break
    sleep 0.05
  done
  [ -L "$ports/COM3" ] || { cat "$work/sim.log" >&2; exit 1; }

  args=(--language "$language" --out "$out")
  [ -n "${CHECKS:-}" ] && args+=(--checks)
  # A desktop of the usual size; the window is grabbed by itself, not the screen.
  if ! env XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$helper" "${args[@]}"; then
    echo "The simulated drive's log:" >&2
    tail -n 20 "$work/sim.log" >&2
    exit 1
  fi

  kill -TERM "$sim_pid"
  wait "$sim_pid" || true
  sim_pid=
done

# Smaller files for the repository: the same pixels in fewer bytes.
if command -v convert >/dev/null; then
  for f in "$out"/*.png; do
    convert "$f" -strip -define png:compression-level=9 "$f"
  done
fi
ls -l "$out"/*.png
