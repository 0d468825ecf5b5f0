#!/usr/bin/env bash
# Installs what building, running and testing Morvane needs on Debian 12, when missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libpng-dev libjpeg-dev zlib1g-dev libdeflate-dev liblz4-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libstb-dev
  xvfb xauth xdotool imagemagick x11-utils fonts-dejavu-core fonts-liberation2
  openbox desktop-file-utils appstream dpkg-dev
  tiled python3-pil xclip
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
