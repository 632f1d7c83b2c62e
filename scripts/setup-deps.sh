#!/usr/bin/env bash
# Installs the Debian packages the tool, its tests, the simulated drive and the
# Debian package (dpkg-shlibdeps, lintian, the icon's rendering) need.
# Installs nothing when every package is already present; as root directly,
# otherwise through sudo. Non-interactive, without recommended packages.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libqt6serialport6
  qt6-charts-dev libqt6opengl6-dev  # Qt Charts: the chart benchmark's yardstick only
  qt6-qpa-plugins
  qt6-tools-dev qt6-l10n-tools
  libgl-dev
  libmodbus-dev
  fonts-wqy-microhei
  python3 python3-pymodbus python3-serial-asyncio
  socat
  clang libclang-rt-14-dev
  xvfb xauth xdotool imagemagick
  dpkg-dev lintian librsvg2-bin desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
