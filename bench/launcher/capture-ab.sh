#!/usr/bin/env bash
# Compares two builds' captures on a machine whose speed drifts (a shared 2-core VM runs the
# same capture 10% to 20% faster or slower from one minute to the next): the two are run
# alternately, ROUNDS times each, and each run's wall time, CPU time (user + system), peak
# memory and per-scene wall times are printed, then the median of each. Only the pictures'
# checksum is compared for equality; a difference is reported.
# Usage: bench/launcher/capture-ab.sh BUILD_A BUILD_B [ROUNDS] [-- letterbox options]
# (default 3 rounds of a whole capture; options such as --to 43 shorten each run).
set -euo pipefail
a=$(cd "${1:?usage: capture-ab.sh BUILD_A BUILD_B [ROUNDS] [-- options]}" && pwd)
b=$(cd "${2:?usage: capture-ab.sh BUILD_A BUILD_B [ROUNDS] [-- options]}" && pwd)
shift 2
rounds=3
if [[ $# -gt 0 && $1 != -- ]]; then
    rounds=$1
    shift
fi
[[ $# -gt 0 && $1 == -- ]] && shift
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package: time)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

scenes="clouds tunnel fans floor glass lattice"

run() {
    local label=$1 build=$2
    shift 2
    (cd "$build" && SDL_AUDIODRIVER=dummy LETTERBOX_FRAME_TIMES="$work/frames.txt" \
        /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" \
        ./letterbox --capture "$work/run.y4m" --stats "$@" > "$work/stats.txt" 2> "$work/err.txt") ||
        { cat "$work/err.txt" >&2; exit 1; }
    local sum
    sum=$(md5sum < "$work/run.y4m" | cut -c1-12)
    rm -f "$work/run.y4m" "$work/run.wav"
    read -r wall user sys rss < "$work/time.txt"
    # The frame timer counts the loading screen's frames too; --stats says how many frames
    # each scene rendered (its last row, "end", the closing frames), and the rest came first.
    local rendered perScene
    rendered=$(awk -v scenes="$scenes end" 'BEGIN { split(scenes, s, " "); for (i in s) want[s[i]] = 1 }
        ($1 in want) && NF > 3 { printf "%s %s ", $1, $3 }' "$work/stats.txt")
    perScene=$(awk -v rendered="$rendered" -v lines="$(wc -l < "$work/frames.txt")" '
        BEGIN {
            n = split(rendered, r, " ") / 2
            for (i = 1; i <= n; ++i) { name[i] = r[2 * i - 1]; count[i] = r[2 * i]; total += count[i] }
            start[1] = lines - total
            for (i = 1; i <= n; ++i) start[i + 1] = start[i] + count[i]
        }
        # Each interval between two frames starts belongs to the earlier frame.
        NR > 1 { for (i = 1; i <= n; ++i) if (lastFrame >= start[i] && lastFrame < start[i + 1]) wall[i] += $2 - last }
        { last = $2; lastFrame = $1 }
        END { for (i = 1; i <= n; ++i) if (name[i] != "end") printf "%s %.2f ", name[i], wall[i] / 1e6 }' \
        "$work/frames.txt")
    printf '%s wall %.2f cpu %.2f rss %d %s pictures %s\n' "$label" "$wall" \
        "$(echo "$user + $sys" | bc)" $((rss / 1024)) "$perScene" "$sum" | tee -a "$work/runs.txt"
}

echo "A: $a"
echo "B: $b"
echo "($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $(date -u +%Y-%m-%dT%H:%MZ))"
for ((round = 1; round <= rounds; ++round)); do
    run A "$a" "$@"
    run B "$b" "$@"
done
# The median of field NAME of LABEL's runs.
median() {
    awk -v label="$1" -v name="$2" '$1 == label { for (i = 2; i < NF; ++i) if ($i == name) print $(i + 1) }' \
        "$work/runs.txt" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
echo "medians (s, MB):"
for label in A B; do
    line=$label
    for name in wall cpu rss $scenes; do
        line+=" $name $(median "$label" "$name")"
    done
    echo "$line"
done
if [[ $(awk '{print $NF}' "$work/runs.txt" | sort -u | wc -l) -ne 1 ]]; then
    echo "the pictures differ between runs (see the checksums above)"
fi
