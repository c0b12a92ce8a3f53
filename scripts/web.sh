#!/usr/bin/env bash
# Builds the demo for the browser into web/: letterbox.html, letterbox.js, letterbox.wasm and
# letterbox.data (the generated data/ folder, packed). The data comes from the native build
# (build/), whose generator makes it; Debian's Emscripten compiles the program for the browser
# in build-web/. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

bash scripts/deps.sh
# Emscripten from Debian (no download of its own: nothing of its ports is used), and the
# JavaScript modules its tools load.
missing=()
for p in emscripten node-acorn; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# Emscripten's tools run on the system's python3 and node; a node that is not Debian's
# finds Debian's modules (acorn) only through NODE_PATH.
export PATH="/usr/bin:$PATH"
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"

jobs="${JOBS:-$(nproc)}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLETTERBOX_TESTS=OFF >/dev/null
cmake --build build -j "$jobs" --target content_data

emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DLETTERBOX_WEB_DATA="$root/build/data" -DLETTERBOX_WEB_OUT="$root/web" >/dev/null
cmake --build build-web -j "$jobs"

echo
echo "The browser build is in web/. Serve the folder and open the page, for example:"
echo "    cd web && python3 -m http.server 8000"
echo "    then http://localhost:8000/letterbox.html"
