#!/usr/bin/env bash
# Installs the Debian packages the build and the test suite need, and only
# when one is missing, so a warm machine starts building at once.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config librsvg2-bin
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev
  libsquish-dev libstb-dev libyaml-cpp-dev
  xvfb xauth xdotool x11-utils
  dpkg-dev appstream desktop-file-utils file
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
