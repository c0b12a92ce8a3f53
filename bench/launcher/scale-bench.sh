#!/usr/bin/env bash
# Captures at larger render scales and with multisampling: wall time and peak memory of
# whole captures at --scale 2, --scale 4 and --msaa 4 (the frames go through a pipe and
# are dropped, so the disk plays no part), then how faithful --scale 2 is to --scale 1:
# the luma PSNR, one frame per second, of the large frames averaged down.
# Usage: bench/launcher/scale-bench.sh BUILD_FOLDER [SECONDS]
# BUILD_FOLDER: an optimised build configured with -DLETTERBOX_BENCHMARKS=ON (for
# letterbox_scale_faithfulness), data/ generated. SECONDS ends every run there (--to);
# without it the runs are whole.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="$(cd "${1:-build}" && pwd)"
to=()
if [ -n "${2:-}" ]; then
    to=(--to "$2")
fi
tool="$build/bench/platform/capture/letterbox_scale_faithfulness"
for needed in "$build/letterbox" "$build/data" "$tool" /usr/bin/time; do
    if [ ! -e "$needed" ]; then
        echo "$needed is missing" >&2
        exit 1
    fi
done
work="$(mktemp -d /tmp/letterbox-scale.XXXXXX)"
trap 'rm -rf "$work"' EXIT

# Runs a capture into a pipe that is drained; prints wall time and peak RSS.
measure() {
    local name="$1"
    shift
    mkfifo "$work/$name.y4m"
    cat "$work/$name.y4m" >/dev/null &
    local drain=$!
    (cd "$build" && /usr/bin/time -f "%e %M" -o "$work/$name.time" ./letterbox \
        --capture "$work/$name.y4m" "${to[@]}" "$@" >/dev/null 2>"$work/$name.err")
    wait "$drain"
    read -r wall rss <"$work/$name.time"
    printf '%-22s wall %8.2f s   peak RSS %7.1f MB   (load average %s)\n' "$name" "$wall" \
        "$(echo "$rss / 1024" | bc -l)" "$(cut -d' ' -f1-3 /proc/loadavg)"
}

echo "letterbox render-scale benchmark ($(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ)," \
     "${2:-whole} run)"
measure scale-1 --scale 1
measure scale-2 --scale 2
measure scale-4 --scale 4
measure msaa-4 --msaa 4

# Both runs into pipes at once, read side by side by the comparison.
mkfifo "$work/small.y4m" "$work/large.y4m"
"$tool" "$work/small.y4m" "$work/large.y4m" &
compare=$!
(cd "$build" && ./letterbox --capture "$work/small.y4m" "${to[@]}" >/dev/null 2>&1) &
(cd "$build" && ./letterbox --scale 2 --capture "$work/large.y4m" "${to[@]}" >/dev/null 2>&1) &
wait "$compare"
wait
