#!/usr/bin/env bash
# Generates data/ in the build folder and plays the demo there, where the
# program finds data\ relative to its working directory.
# Usage: scripts/play.sh BUILD_FOLDER [program options]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
shift || true

if cmake --build "$build" --target help 2>/dev/null | grep -q '^content_data:'; then
    cmake --build "$build" --target content_data
fi
if [ ! -x "$build/letterbox" ]; then
    echo "$build/letterbox was not built; see the build output above." >&2
    exit 1
fi
# Without DISPLAY and WAYLAND_DISPLAY the program itself says so and renders off screen.
cd "$build"
exec ./letterbox "$@"
