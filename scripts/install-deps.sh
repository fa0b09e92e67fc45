#!/usr/bin/env bash
# Installs every Debian package the build, the game and the tests need.
# Idempotent: does nothing when all are present; runs apt-get update once
# when something is missing. Needs root (or sudo).
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fonts-liberation2 fonts-dejavu-core
  libexpat1-dev libpng-dev libjpeg62-turbo-dev libvorbis-dev
  libgtest-dev libgmock-dev
  xvfb xdotool xauth x11-utils
)
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
