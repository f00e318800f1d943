#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, skipping those already present.
set -euo pipefail
packages=(
    build-essential cmake ninja-build
    googletest libgtest-dev libgmock-dev libbenchmark-dev libyuv-dev
    libexpat1-dev
    python3 tmux
    qt6-base-dev fonts-dejavu-core
    clang libclang-rt-14-dev lld
    imagemagick netpbm gstreamer1.0-tools gstreamer1.0-plugins-good
)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
