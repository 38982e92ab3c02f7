#!/usr/bin/env bash
# Installs the Debian 12 packages that building, playing or testing needs, when they are missing.
# Usage: tools/scripts/install-deps.sh play|test
set -euo pipefail

play_packages=(
  build-essential cmake ninja-build pkg-config
  libx11-dev libgl-dev libglu1-mesa-dev libxxf86vm-dev libxrandr-dev libgl1-mesa-dri
  libpng-dev zlib1g-dev libfreetype-dev libvorbis-dev libogg-dev libgnutls28-dev ca-certificates
  libopenal1 fonts-dejavu-core fonts-open-sans fonts-comfortaa
)
test_packages=(
  googletest libgtest-dev clang libclang-rt-14-dev
  xvfb xdotool x11-utils
  libsqlite3-dev libsodium-dev libpq-dev postgresql systemd iproute2 procps
  desktop-file-utils appstream dpkg-dev file openssl
)

wanted=("${play_packages[@]}")
if [ "${1:-play}" = test ]; then wanted+=("${test_packages[@]}"); fi

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
