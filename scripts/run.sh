#!/usr/bin/env bash
# Starts the tool with a simulated drive on COM3. Without a display it runs on
# a virtual X server.
#
# The tool resolves a port name COM<n> through a link named COM<n> in the
# folder ports/ of its application data location. For this run only, that
# location is a temporary XDG_DATA_HOME holding one link, COM3, to the
# simulated drive's pseudo-terminal; the user's own mappings are not touched.
# The simulator stops when the tool exits.
#
#   scripts/run.sh [build-dir]
#   DRIVE_SIM_ARGS="--fault-after 30" scripts/run.sh    # extra simulator options
set -euo pipefail
build=${1:-build}
app="$build/app/kolven-assistant"
sim="$build/tools/drive-sim/drive-sim"
# The tool's data folder is <XDG_DATA_HOME>/<organization>/<application>, with
# the names its main() gives the application (the executable's name if none).
src=$(cd "$(dirname "$0")/.." && pwd)
org_name=$(sed -n 's/.*setOrganizationName(QStringLiteral("\([^"]*\)")).*/\1/p' "$src/app/main.cpp" | head -n 1)
app_name=$(sed -n 's/.*setApplicationName(QStringLiteral("\([^"]*\)")).*/\1/p' "$src/app/main.cpp" | head -n 1)
app_name=${app_name:-kolven-assistant}
sim_log="$build/drive-sim.log"

for f in "$app" "$sim"; do
  if [ ! -x "$f" ]; then
    echo "Missing $f: build first (make build)." >&2
    exit 1
  fi
done

data_home=$(mktemp -d "${TMPDIR:-/tmp}/kolven-run.XXXXXX")
ports="$data_home/${org_name:+$org_name/}$app_name/ports"
mkdir -p "$ports"

sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$data_home"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# shellcheck disable=SC2086 # DRIVE_SIM_ARGS is a list of options
"$sim" --verbose --link "$ports/COM3" ${DRIVE_SIM_ARGS:-} >"$data_home/sim.path" 2>"$sim_log" &
sim_pid=$!

for _ in $(seq 1 100); do
  [ -L "$ports/COM3" ] && [ -s "$data_home/sim.path" ] && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    break
  fi
  sleep 0.05
done
if [ ! -L "$ports/COM3" ]; then
  echo "The simulated drive did not start:" >&2
  cat "$sim_log" >&2
  exit 1
fi
echo "Simulated drive on $(cat "$data_home/sim.path"), reachable as COM3 (station 1, 9600,n,8,1)."
echo "Its request/reply log: $sim_log"

app_cmd=(env "XDG_DATA_HOME=$data_home" "$app")
status=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: starting the tool on a virtual X server (xvfb-run)."
  xvfb-run -a "${app_cmd[@]}" || status=$?
else
  "${app_cmd[@]}" || status=$?
fi
exit "$status"
