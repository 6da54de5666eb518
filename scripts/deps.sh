#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the game need; quick when all are present.
set -euo pipefail
pkgs=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-ttf-dev fonts-vlgothic fonts-dejavu-core fontconfig
  libfluidsynth-dev timgm6mb-soundfont
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb xdotool imagemagick x11-utils
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
