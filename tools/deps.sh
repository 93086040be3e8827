#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Pictanote need, when any
# is missing; given package names, those instead. Runs as root (or through sudo when it is there).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  qt6-image-formats-plugins qt6-translations-l10n
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-ipafont-gothic
  libdeflate-dev
  xvfb xauth xdotool x11-utils xclip
  desktop-file-utils
  ccache
)

[ $# -gt 0 ] && packages=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
