#!/usr/bin/env bash
# Checks that a build still draws the same pictures: captures the demo (or takes a
# capture made already) and compares it with the reference pictures in
# tests/reference/frames/, one frame per second plus a hash of every frame.
# Usage: scripts/picture-check.sh BUILD_FOLDER [--to SECONDS] [--exact] [--capture FILE.y4m]
#   --to SECONDS     captures only up to that time (a shorter check)
#   --exact          fails unless every frame is byte for byte the reference's
#   --capture FILE   compares FILE instead of making a new capture
# Samples may differ by 2 steps at most (llvmpipe's rounding, see tests/reference/README.md).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="$(cd "${1:?usage: scripts/picture-check.sh BUILD_FOLDER [--to S] [--exact] [--capture F]}" && pwd)"
shift
to=()
exact=()
capture=""
while [ $# -gt 0 ]; do
    case "$1" in
        --to) to=(--to "$2"); shift 2 ;;
        --exact) exact=(--exact); shift ;;
        --capture) capture="$(realpath "$2")"; shift 2 ;;
        *) echo "picture-check: unknown option $1" >&2; exit 2 ;;
    esac
done
check="$build/tests/reference/letterbox-picture-check"
if [ ! -x "$check" ]; then
    echo "picture-check: $check is missing: build the letterbox-picture-check target" >&2
    exit 2
fi
if [ -z "$capture" ]; then
    if [ ! -x "$build/letterbox" ] || [ ! -d "$build/data" ]; then
        echo "picture-check: $build/letterbox or $build/data is missing" >&2
        exit 2
    fi
    work="$(mktemp -d /tmp/letterbox-picture-check.XXXXXX)"
    trap 'rm -rf "$work"' EXIT
    capture="$work/capture.y4m"
    (cd "$build" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LETTERBOX_MESSAGEBOX=stderr \
        ./letterbox --capture "$capture" "${to[@]}" 2>"$work/capture.err") || {
        cat "$work/capture.err" >&2
        exit 1
    }
fi
"$check" compare "$capture" "$root/tests/reference/frames" "${exact[@]}"
