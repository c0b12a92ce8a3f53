#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing:
# through apt-get, with sudo when not run as root.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config
          libsdl2-dev libepoxy-dev libx11-dev libxext-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libpng-dev
          libgtest-dev libbenchmark-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "Missing packages (${missing[*]}), and sudo is not installed: install them as root." >&2
        exit 1
    fi
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
