#!/usr/bin/env bash
# Measures a new user's first `make run`: a fresh clone of this repository, the
# packages already installed, no compiler cache. Prints the seconds from the
# start of `make run` until the tool's main window is mapped on a virtual X
# server, the part of it spent configuring and building, and the processor time
# the build took (user + system, which depends less on what else the machine
# runs). Prints figures, asserts nothing.
#
#   scripts/first-run-time.sh [git-revision [make variables...]]   # default: HEAD
#   e.g. scripts/first-run-time.sh HEAD CMAKE_GENERATOR='Unix Makefiles' CMAKE_FLAGS=-DKV_UNITY_BUILD=OFF
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
rev=${1:-HEAD}
shift || true
title='KOLVEN调试助手'

work=$(mktemp -d "${TMPDIR:-/tmp}/kolven-first-run.XXXXXX")
xvfb_pid=
make_pid=
cleanup() {
  [ -n "$make_pid" ] && kill -TERM "$make_pid" 2>/dev/null || true
  [ -n "$make_pid" ] && wait "$make_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

git clone -q "$src" "$work/clone"
git -C "$work/clone" checkout -q "$rev"

# A display of our own, so that the window can be found by its title.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
display=:$(head -n 1 "$work/display")

export CCACHE_DISABLE=1 DISPLAY=$display
unset QT_QPA_PLATFORM WAYLAND_DISPLAY CMAKE_CXX_COMPILER_LAUNCHER
load=$(cut -d' ' -f1 /proc/loadavg)
start=$(date +%s.%N)
(cd "$work/clone" && exec make run "$@") >"$work/make.log" 2>&1 &
make_pid=$!

built=
shown=
while kill -0 "$make_pid" 2>/dev/null; do
  if [ -z "$built" ] && [ -x "$work/clone/build/app/kolven-assistant" ] \
       && grep -q '^Simulated drive on' "$work/make.log"; then
    built=$(date +%s.%N)
  fi
  if xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; then
    shown=$(date +%s.%N)
    break
  fi
  sleep 0.1
done
if [ -z "$shown" ]; then
  echo "The window never showed; make's output:" >&2
  tail -n 30 "$work/make.log" >&2
  exit 1
fi
# Close the tool: run.sh then stops the simulated drive and make ends.
wid=$(xdotool search --onlyvisible --name "$title" | head -n 1)
pid=$(xdotool getwindowpid "$wid" 2>/dev/null || true)
[ -n "$pid" ] && kill -TERM "$pid" 2>/dev/null || true
wait "$make_pid" 2>/dev/null || true
make_pid=
times >"$work/times"
cpu=$(tail -n 1 "$work/times" | awk '{
  t = 0
  for (i = 1; i <= 2; i++) { split($i, p, "m"); sub("s", "", p[2]); t += p[1] * 60 + p[2] }
  printf "%.0f", t }')
printf 'revision %s (%s) %s\n' "$(git -C "$work/clone" rev-parse --short HEAD)" "$rev" "$*"
awk -v s="$start" -v b="${built:-$shown}" -v w="$shown" -v c="$cpu" -v l="$load" 'BEGIN {
  printf "window shown after %.0f s (configure + build %.0f s); processor time %s s; load average before %s\n",
         w - s, b - s, c, l }'
