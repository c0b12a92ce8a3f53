#!/usr/bin/env bash
# Generates data/ in the build folder and plays the demo there, where the
# program finds data\ relative to its working directory.
# Usage: scripts/play.sh BUILD_FOLDER [program options]
#
# With no display (neither DISPLAY nor WAYLAND_DISPLAY set) it renders the demo
# off screen instead: a video in $LETTERBOX_OUT (default: out/ here) through
# ffmpeg when it is installed, else a Y4M stream and a WAV, plus a contact sheet.
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

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    out="${LETTERBOX_OUT:-out}"
    mkdir -p "$out"
    out="$(cd "$out" && pwd)"
    if command -v ffmpeg >/dev/null 2>&1; then
        video="$out/letterbox.mp4"
        said="$video (video and sound)"
    else
        video="$out/letterbox.y4m"
        said="$video and $out/letterbox.wav (no ffmpeg: raw video and the sound beside it)"
    fi
    sheet="$out/contact-sheet.png"
    echo "No display: rendering the demo off screen into $out ..." >&2
    (cd "$build" && ./letterbox --capture "$video" --contact-sheet "$sheet" "$@")
    echo "Wrote $said" >&2
    echo "and the contact sheet $sheet" >&2
    exit 0
fi
cd "$build"
exec ./letterbox "$@"
