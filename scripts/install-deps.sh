#!/usr/bin/env bash
# Installs the Debian packages that building and testing Velloran needs,
# and only those that dpkg-query reports missing, so a second run is quiet
# and costs nothing. apt-get update runs only when something is missing.
set -euo pipefail

packages=(
  build-essential
  cmake
  ninja-build
  pkg-config
  libgtest-dev
  nlohmann-json3-dev
  libogg-dev
  libvorbis-dev
  libxml2-dev
  qt6-base-dev
  qt6-svg-dev
  qt6-webengine-dev
  libgl-dev
  xvfb
  xauth
  imagemagick
  xdotool
  clang
  libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
