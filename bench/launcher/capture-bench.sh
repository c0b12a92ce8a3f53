#!/usr/bin/env bash
# Wall time and peak memory of whole captures, and the per-scene times of --stats.
# Usage: bench/launcher/capture-bench.sh [BUILD_FOLDER] [OUTPUT_FOLDER]
# The build should be optimised (RelWithDebInfo or Release) with data/ generated.
# Goals on a 2-core machine with llvmpipe: a whole Y4M capture in at most 35 s
# (twice as fast as real time), peak resident size under 200 MB.
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/folders.sh
bench_folders letterbox-bench "$@"
if [ ! -x /usr/bin/time ]; then
    echo "needs /usr/bin/time (Debian package: time)" >&2
    exit 1
fi

# Runs the program in the build folder under /usr/bin/time; prints wall time and peak RSS.
measure() {
    local name="$1"
    shift
    (cd "$build" && /usr/bin/time -f "%e %M" -o "$out/$name.time" ./letterbox "$@" \
        >"$out/$name.out" 2>"$out/$name.err")
    read -r wall rss <"$out/$name.time"
    printf '%-28s wall %7.2f s   peak RSS %6.1f MB\n' "$name" "$wall" "$(echo "$rss / 1024" | bc -l)"
}

echo "letterbox capture benchmark ($(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ))"
# The statistics come from the Y4M run. Each frame is read back one Present later,
# so a render time includes waiting for the rasteriser to finish the frame before it
# (llvmpipe draws on threads of its own).
measure "y4m capture" --capture "$out/whole.y4m" --contact-sheet "$out/contact-sheet.png" --stats
grep -h '^letterbox: wrote' "$out/y4m capture.err" | sed 's/^/  /' || true
rm -f "$out/whole.y4m"
measure "png capture" --capture "$out/pngs"
grep -h '^letterbox: wrote' "$out/png capture.err" | sed 's/^/  /' || true
rm -rf "$out/pngs"
echo
echo "per-scene figures of the Y4M capture (ms):"
cat "$out/y4m capture.out"
echo "contact sheet: $out/contact-sheet.png"
