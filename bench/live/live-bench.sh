#!/usr/bin/env bash
# The whole demo played live, as a user sees it, three times: full screen on a
# 1920 x 1080 X display with a window manager, in an 800 x 600 window on that
# display, and off screen (no display). Prints for each the per-scene ticks and
# renders of --stats, the share of ticks not rendered, the tick count, wall time, CPU
# time and peak resident memory. Last, a short full-screen run with the window manager
# gone checks that the window still covers the display.
# Usage: bench/live/live-bench.sh [BUILD_FOLDER] [OUTPUT_FOLDER]
# LIVE_BENCH_MODES picks the runs (default "full window off bare"); LIVE_BENCH_RUNS=N plays
# each N times and ends with the median share not rendered of each mode, since single
# runs of the same build on this kind of machine differ by several percent.
# Needs Xvfb and openbox (Debian packages xvfb and openbox, installed when missing)
# and /usr/bin/time. The build should be optimised, with data/ generated. Run it on an
# otherwise idle machine: every figure depends on the CPU time left to the rasteriser.
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/folders.sh
bench_folders letterbox-live "$@"

missing=()
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v xwininfo >/dev/null || missing+=(x11-utils)
command -v openbox >/dev/null || missing+=(openbox)
[ -x /usr/bin/time ] || missing+=(time)
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "installing ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# A display number nobody uses.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
xvfb_pid=""
wm_pid=""
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT
Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done
DISPLAY=":$display" openbox >"$out/openbox.log" 2>&1 &
wm_pid=$!
sleep 1

# Runs the demo once; prints its table with the share not rendered per scene.
# Usage: play NAME "ENVIRONMENT (env's arguments)" [PROGRAM OPTIONS...]
play() {
    local name="$1"
    local environment
    read -r -a environment <<<"$2"
    shift 2
    (cd "$build" && env "${environment[@]}" SDL_AUDIODRIVER=dummy LETTERBOX_MESSAGEBOX=stderr \
        /usr/bin/time -f "%e %M %U %S" -o "$out/$name.time" ./letterbox --stats "$@" \
        >"$out/$name.out" 2>"$out/$name.err") || true
    if [ ! -s "$out/$name.time" ]; then
        echo "== $name: did not run (see $out/$name.err)"
        return
    fi
    read -r wall rss user system <"$out/$name.time"
    local rendered
    rendered=$(awk '/^all / { print $3 }' "$out/$name.out")
    echo "== $name: wall $wall s, CPU $(echo "$user + $system" | bc) s ($(echo "scale=1; 1000 * ($user + $system) / ${rendered:-1}" | bc) ms per frame rendered), peak RSS $(echo "$rss / 1024" | bc) MB, load average $(cut -d' ' -f1-3 /proc/loadavg)"
    awk '
        /^scene / { printf "%-8s %7s %8s %12s   %s\n", "scene", "ticks", "rendered", "not rendered", "render ms median / p99"; next }
        /^(clouds|tunnel|fans|floor|glass|lattice|end|all) / {
            share = $2 > 0 ? 100 * ($2 - $3) / $2 : 0
            printf "%-8s %7d %8d %11.1f%%   %s / %s\n", $1, $2, $3, share, $8, $9
        }
        /^time between ticks|^shader compilations/ { print }
    ' "$out/$name.out"
}

modes=" ${LIVE_BENCH_MODES:-full window off bare} "
runs=${LIVE_BENCH_RUNS:-1}
# Plays one mode RUNS times; with more than one run, prints the median share not rendered.
mode() {
    local name="$1" shares=() run
    shift
    for run in $(seq "$runs"); do
        local label="$name"
        [ "$runs" -gt 1 ] && label="$name, run $run"
        play "$label" "$@"
        shares+=("$(awk '/^all / { printf "%.2f", ($2 > 0 ? 100 * ($2 - $3) / $2 : 0) }' "$out/$label.out" 2>/dev/null)")
    done
    if [ "$runs" -gt 1 ]; then
        echo "== $name: not rendered over $runs runs: ${shares[*]} (%); median $(printf '%s\n' "${shares[@]}" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')%"
    fi
}
echo "letterbox live benchmark ($(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ))"
[[ $modes == *" full "* ]] && mode "full screen 1920x1080" "DISPLAY=:$display"
[[ $modes == *" window "* ]] && mode "window 800x600" "DISPLAY=:$display" --windowed
[[ $modes == *" off "* ]] && mode "off screen" "-u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen"
[[ $modes == *" bare "* ]] || { echo "outputs: $out"; exit 0; }

# Without a window manager nobody acts on the full-screen request: the window must cover
# the display by itself.
kill "$wm_pid" 2>/dev/null || true
wait "$wm_pid" 2>/dev/null || true
wm_pid=""
(cd "$build" && DISPLAY=":$display" SDL_AUDIODRIVER=dummy LETTERBOX_MESSAGEBOX=stderr \
    ./letterbox --to 3 >"$out/bare.out" 2>"$out/bare.err") &
bare_pid=$!
geometry=""
while kill -0 "$bare_pid" 2>/dev/null; do
    geometry=$(DISPLAY=":$display" xwininfo -root -tree | awk '/"letterbox"/ { print $(NF-1); exit }')
    [ "$geometry" = "1920x1080+0+0" ] && break
    sleep 0.2
done
wait "$bare_pid" || true
if [ "$geometry" = "1920x1080+0+0" ]; then
    echo "== full screen without a window manager: the window covers the display ($geometry)"
else
    echo "== full screen without a window manager: the window is ${geometry:-missing}, not the display's 1920x1080+0+0"
fi
echo "outputs: $out"
