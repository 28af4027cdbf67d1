#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Orvello need, when
# any is missing. Run as root (or with sudo). Quiet when everything is there already.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libvulkan-dev fontconfig fonts-dejavu-core
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang libclang-rt-14-dev clang-format
    zlib1g-dev libdeflate-dev 7zip
    unzip zip unar time libarchive-tools xvfb xauth xdotool valgrind
    desktop-file-utils appstream man-db groff-base dpkg-dev file
    dosbox
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
