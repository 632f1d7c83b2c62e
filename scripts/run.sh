#!/usr/bin/env bash
# Starts the tool. Without a display it runs on a virtual X server.
set -euo pipefail
build=${1:-build}
app="$build/app/kolven-assistant"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: starting the tool on a virtual X server (xvfb-run)."
  exec xvfb-run -a "$app"
fi
exec "$app"
