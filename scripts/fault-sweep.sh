#!/usr/bin/env bash
# The broken-data sweep: every file the demo reads, broken four ways in turn, each
# case a capture run from a folder holding the broken data, through the last scene
# that uses the file. A case passes when the run exits with 0 within its time,
# writes every frame, prints on standard error exactly the message the demo gives
# for that file missing (or nothing, for a file it accepts anyway), and, when it
# rejected the file, draws the same frames as with the file removed.
#
# usage: scripts/fault-sweep.sh BUILD [--ci] [--keep] [FILE[:VARIANT]...]
#   BUILD   the build folder holding letterbox and data/
#   --ci    only the tests' handful: a file per reader and per scene, broken
#           together, in three runs
#   --keep  keep the work folder (under $TMPDIR) and the failed cases' runs
#   FILE    only these files (all four variants), or FILE:VARIANT for one case
# Variants: removed; half (cut to half its size); garbled (about 1% of the bytes
# after the header replaced, from a fixed seed); lying (a header whose size, count
# or offset points beyond the file).
# Prints a table and a summary line; exits with 1 when a case failed.
# A run that outlasts its time limit counts as a hang; on a busy machine give the
# runs more time with FAULT_SWEEP_TIME_SCALE=N (N times the limits, default 1).
set -uo pipefail

usage() {
    sed -n '9,13p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}
[[ $# -ge 1 ]] || usage
build=$(cd "$1" && pwd) || usage
shift
ci=0
keep=0
only=()
for arg in "$@"; do
    case $arg in
    --ci) ci=1 ;;
    --keep) keep=1 ;;
    -*) usage ;;
    *) only+=("$arg") ;;
    esac
done
program=$build/letterbox
[[ -x $program && -d $build/data ]] || {
    echo "fault-sweep: $build holds no letterbox and data/ (build it and its content_data target)" >&2
    exit 2
}

# What the demo reads: the file, the scene-clock time through which its last user
# plays (- for the whole run), and the message the demo shows when it is missing
# (empty: none). The loading screen is not captured; its run is a short one.
FILES=$(
    cat <<'EOF'
loading.bmp	1	エラー: data\loading.bmp
obi.bmp	-	エラー: data\obi.bmp
dmb.wav	-	
cloud1.bmp	8.2	エラー: data\cloud1.bmp
cloud2.bmp	8.2	エラー: data\cloud2.bmp
cloud3.bmp	8.2	エラー: data\cloud3.bmp
living.bmp	8.2	エラー: data\living.bmp
TELV_title.bmp	21.5	エラー: data\TELV_title.bmp
chars.bmp	21.5	エラー: data\chars.bmp
circle.bmp	21.5	エラー: data\circle.bmp
mono1.bmp	21.5	
mono2.bmp	21.5	
mono3.bmp	21.5	
fan.bmp	32	エラー: data\fan.bmp
particle.bmp	32	
particle_r.bmp	32	
particle_g.bmp	32	
particle_b.bmp	32	
floor.bmp	43	
w.x	43	Error: data\w.x が存在しません
w_face.bmp	43	Error: data/w_face.bmpの読み込みに失敗しました。
ball.x	54	Error: data\ball.x が存在しません
box.x	54	Error: data\box.x が存在しません
box_wall.bmp	54	Error: data/box_wall.bmpの読み込みに失敗しました。
box_floor.bmp	54	Error: data/box_floor.bmpの読み込みに失敗しました。
TELV.bmp	-	エラー: data\TELV.bmp
back1.bmp	-	エラー: data\back1.bmp
back2.bmp	-	エラー: data\back2.bmp
faewfaew.bmp	-	エラー: data\faewfaew.bmp
hole.bmp	-	エラー: data\hole.bmp
EOF
)
VARIANTS="removed half garbled lying"

# The tests' handful: one file for each reader (bitmap, .x text, .x binary, wave)
# and each scene, broken together; each group gives the variant of each file in turn.
CI_FILES="dmb.wav living.bmp circle.bmp fan.bmp w.x ball.x hole.bmp"
CI_GROUPS="removed_removed_removed_removed_removed_removed_removed
lying_lying_half_lying_lying_half_lying
garbled_garbled_garbled_garbled_garbled_garbled_garbled"
CI_TO=${FAULT_SWEEP_CI_TO:-56}
TIME_SCALE=${FAULT_SWEEP_TIME_SCALE:-1}
[[ $TIME_SCALE =~ ^[1-9][0-9]*$ ]] || { echo "fault-sweep: FAULT_SWEEP_TIME_SCALE must be a whole number from 1" >&2; exit 2; }

# Writes the broken copy of $1 to $2.
break_file() {
    local source=$1 target=$2 variant=$3
    case $variant in
    half)
        head -c $(($(stat -c %s "$source") / 2)) "$source" > "$target"
        ;;
    garbled)
        # About one byte in a hundred after the header, chosen and replaced by a
        # fixed linear congruential generator, the same on every machine.
        perl -e '
            local $/; open my $in, "<:raw", $ARGV[0] or die; my $d = <$in>;
            my $skip = $ARGV[0] =~ /\.bmp$/ ? 54 : $ARGV[0] =~ /\.wav$/ ? 44 : 16;
            my $n = length($d) - $skip; my $s = 12345;
            for (1 .. int($n / 100) || 1) {
                $s = ($s * 1103515245 + 12345) % 2147483648; my $at = $skip + $s % $n;
                $s = ($s * 1103515245 + 12345) % 2147483648;
                substr($d, $at, 1) = chr((ord(substr($d, $at, 1)) ^ (1 + $s % 255)) & 255);
            }
            open my $out, ">:raw", $ARGV[1] or die; print $out $d;' "$source" "$target"
        ;;
    lying)
        perl -e '
            local $/; open my $in, "<:raw", $ARGV[0] or die; my $d = <$in>;
            my $size = length $d;
            if ($ARGV[0] =~ /\.bmp$/) {
                # The pixels start beyond the end of the file.
                substr($d, 10, 4) = pack("V", $size + 4096);
            } elsif ($ARGV[0] =~ /\.wav$/) {
                # The sound runs on far beyond the file.
                my $at = index($d, "data");
                substr($d, $at + 4, 4) = pack("V", 0x7FFFFFF0) if $at >= 0;
                substr($d, 4, 4) = pack("V", 0x7FFFFFF8);
            } elsif (substr($d, 8, 3) eq "bin") {
                # The first list of numbers counts far more than the file holds.
                my $at = index($d, pack("v", 6), 16);
                $at = index($d, pack("v", 7), 16) if $at < 0;
                substr($d, $at + 2, 4) = pack("V", 0x7FFFFFFF) if $at >= 0;
            } else {
                # The first count in the text (the first vertex count) is huge.
                $d =~ s/(\{[^0-9{}]*)\d+;/${1}4000000000;/;
            }
            open my $out, ">:raw", $ARGV[1] or die; print $out $d;' "$source" "$target"
        ;;
    esac
}

work=$(mktemp -d "${TMPDIR:-/tmp}/fault-sweep.XXXXXX")
cleanup() {
    [[ -n ${reader:-} ]] && kill "$reader" 2>/dev/null
    if [[ $keep == 1 ]]; then echo "fault-sweep: the runs are kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A run folder with its own data/: links to the build's files, but for $2.
fresh_data() {
    local dir=$1 file=$2
    rm -rf "$dir"
    mkdir -p "$dir"
    cp -al "$build/data" "$dir/data" 2>/dev/null || cp -a "$build/data" "$dir/data"
    rm -f "$dir/data/.generated"
    [[ -z $file ]] || rm -f "$dir/data/$file"
}

FRAME_BYTES=$((800 * 600 * 3 / 2 + 6))
HEADER_BYTES=66
runs=0

# One capture run with the data in $1/data, through $2 seconds (- for all).
# Sets: status, seconds, frames (-1 when the video is malformed), the digests of
# the video and the sound, and the demo's messages.
capture() {
    local dir=$1 to=$2 limit
    if [[ $to == - ]]; then limit=600; else limit=$(awk -v t="$to" 'BEGIN { print int(t * 6 + 120) }'); fi
    limit=$((limit * TIME_SCALE))
    rm -f "$dir/cap.y4m" "$dir/cap.wav" "$dir/bytes" "$dir/md5"
    mkfifo "$dir/cap.y4m"
    # The video goes through a pipe: only its size and digest are kept.
    ( { tee >(md5sum > "$dir/md5") | wc -c > "$dir/bytes"; } < "$dir/cap.y4m" ) &
    reader=$!
    local args=(--capture cap.y4m)
    [[ $to == - ]] || args+=(--to "$to")
    local start=$SECONDS
    (cd "$dir" && exec timeout --kill-after=10 "$limit" env SDL_VIDEODRIVER=offscreen \
        SDL_AUDIODRIVER=dummy LETTERBOX_MESSAGEBOX=stderr "$program" "${args[@]}") \
        > "$dir/out" 2> "$dir/err"
    status=$?
    seconds=$((SECONDS - start))
    runs=$((runs + 1))
    # A run that never opened the video leaves the reader waiting for a writer.
    kill -0 "$reader" 2>/dev/null && timeout 5 sh -c ': > "$1"' _ "$dir/cap.y4m"
    wait "$reader"
    reader=
    for _ in 1 2 3 4 5 6 7 8 9 10; do [[ -s $dir/md5 ]] && break; sleep 0.2; done
    local bytes
    bytes=$(cat "$dir/bytes" 2>/dev/null || echo 0)
    if ((bytes == 0)); then
        frames=0
    elif (((bytes - HEADER_BYTES) % FRAME_BYTES == 0)); then
        frames=$(((bytes - HEADER_BYTES) / FRAME_BYTES))
    else
        frames=-1
    fi
    video=$(cut -c1-32 "$dir/md5" 2>/dev/null)
    sound=$(md5sum < "$dir/cap.wav" 2>/dev/null | cut -c1-32)
    # The demo's own messages: everything but the capture's progress and summary.
    messages=$(grep -v -e '^capture: ' -e '^letterbox: wrote frames' -e '^letterbox: [0-9]* ticks were not rendered' "$dir/err")
}

declare -A intactFrames removedVideo removedSound messageOf
while IFS=$'\t' read -r file to expected; do
    messageOf[$file]=$expected
done <<< "$FILES"
cases=0 crashes=0 hangs=0 wrong=0 lost=0 failed=0

printf '%-15s %-8s %6s %5s %6s  %-9s %s\n' file variant status secs frames load verdict

# The messages the files of a group give when missing, one a line, in load order.
expected_messages() {
    local file
    while IFS=$'\t' read -r file _ _; do
        [[ " $* " == *" $file "* && -n ${messageOf[$file]} ]] && echo "${messageOf[$file]}"
    done <<< "$FILES"
}

# With the files of a group removed: the reference a rejected group must match.
removed_reference() {
    local key=$1 to=$2
    shift 2
    [[ -n ${removedVideo[$key]:-} ]] && return
    local dir=$work/run file
    fresh_data "$dir" ""
    for file in "$@"; do rm -f "$dir/data/$file"; done
    capture "$dir" "$to"
    removedVideo[$key]=$video
    removedSound[$key]=$sound
}

# One case: the files of a group, each broken its own way (FILE:VARIANT ...), in one run.
sweep_case() {
    local label=$1 variantLabel=$2 to=$3
    shift 3
    local files=() pair dir=$work/run
    for pair in "$@"; do files+=("${pair%%:*}"); done
    local key="${files[*]}"
    local expected
    expected=$(expected_messages "${files[@]}")
    local allRemoved=1
    for pair in "$@"; do [[ ${pair#*:} == removed ]] || allRemoved=0; done
    ((allRemoved)) || removed_reference "$key" "$to" "${files[@]}"
    fresh_data "$dir" ""
    for pair in "$@"; do
        rm -f "$dir/data/${pair%%:*}"
        [[ ${pair#*:} == removed ]] || break_file "$build/data/${pair%%:*}" "$dir/data/${pair%%:*}" "${pair#*:}"
    done
    capture "$dir" "$to"
    cases=$((cases + 1))
    local verdict=() load=accepted
    if ((allRemoved)); then
        load=missing
        removedVideo[$key]=$video
        removedSound[$key]=$sound
    elif [[ -n $expected && $messages == "$expected" ]] ||
         [[ -z $expected && $video == "${removedVideo[$key]}" && $sound == "${removedSound[$key]}" ]]; then
        load=rejected
    fi
    if ((status == 124 || status == 137)); then
        verdict+=("hang")
        hangs=$((hangs + 1))
    elif ((status != 0)) || grep -q -e 'Sanitizer' -e 'runtime error:' "$dir/err"; then
        verdict+=("crash (status $status)")
        crashes=$((crashes + 1))
    fi
    # Every message must be one the group's files give when missing, in load order,
    # and a removed file's message must be there.
    local line rest=$expected ok=1
    while IFS= read -r line; do
        [[ -z $line ]] && continue
        if [[ $'\n'$rest$'\n' == *$'\n'"$line"$'\n'* ]]; then
            rest=${rest#*"$line"}
        else
            ok=0
        fi
    done <<< "$messages"
    for pair in "$@"; do
        local m=${messageOf[${pair%%:*}]}
        [[ ${pair#*:} == removed && -n $m && $'\n'$messages$'\n' != *$'\n'"$m"$'\n'* ]] && ok=0
    done
    if ((!ok)); then
        verdict+=("wrong message: $(echo "$messages" | head -n 3 | tr '\n' '|')")
        wrong=$((wrong + 1))
    fi
    if ((frames != intactFrames[$to])); then
        verdict+=("frames $frames of ${intactFrames[$to]}")
        lost=$((lost + 1))
    elif [[ $load == rejected && $video != "${removedVideo[$key]}" ]]; then
        verdict+=("rejected, yet drew other frames than without the file")
        wrong=$((wrong + 1))
    fi
    local shown=ok
    if ((${#verdict[@]} > 0)); then
        failed=$((failed + 1))
        shown=$(IFS=';'; echo "FAIL: ${verdict[*]}")
        [[ $keep == 1 ]] && cp -r "$dir" "$work/failed-$cases"
    fi
    printf '%-15s %-8s %6s %5s %6s  %-9s %s\n' "$label" "$variantLabel" "$status" "$seconds" \
        "$frames" "$load" "$shown"
}

# Whether the command line asks for this case.
wanted() {
    local file=$1 variant=$2 o
    ((${#only[@]} > 0)) || return 0
    for o in "${only[@]}"; do
        [[ $o == "$file" || $o == "$file:$variant" ]] && return 0
    done
    return 1
}

# The frames every case of a group must write: a capture ticks every 17 ms, so a
# run through `to` seconds writes the frames that start before it; a whole run is
# counted once with every file intact.
intact_reference() {
    local to=$1 dir=$work/intact
    [[ -n ${intactFrames[$to]:-} ]] && return
    if [[ $to != - ]]; then
        intactFrames[$to]=$(awk -v t="$to" 'BEGIN { ms = t * 1000; n = int(ms / 17); if (n * 17 < ms) n++; print n }')
        return
    fi
    fresh_data "$dir" ""
    capture "$dir" "$to"
    if ((status != 0 || frames <= 0)) || [[ -n $messages ]]; then
        echo "fault-sweep: the whole run with intact data failed (status $status, $frames frames):" >&2
        cat "$dir/err" >&2
        exit 1
    fi
    intactFrames[$to]=$frames
}

if ((ci)); then
    # One file per reader and per scene, broken together in three runs (removed,
    # cut or lying, garbled) through the start of the last scene: the sequencer's
    # soundtrack, a bitmap of each scene, the .x text and binary readers.
    intact_reference "$CI_TO"
    read -r -a ciFiles <<< "$CI_FILES"
    for group in $CI_GROUPS; do
        IFS=_ read -r -a variants <<< "$group"
        pairs=()
        for i in "${!ciFiles[@]}"; do pairs+=("${ciFiles[$i]}:${variants[$i]}"); done
        sweep_case "${#pairs[@]} files" "$(printf '%s\n' "${variants[@]}" | sort -u | paste -sd/)" \
            "$CI_TO" "${pairs[@]}"
    done
else
    while IFS=$'\t' read -r file to expected; do
        for variant in $VARIANTS; do
            wanted "$file" "$variant" || continue
            intact_reference "$to"
            sweep_case "$file" "$variant" "$to" "$file:$variant"
        done
    done <<< "$FILES"
fi

echo "fault-sweep: $cases cases, $runs runs: $crashes crashes, $hangs hangs," \
    "$wrong wrong or missing messages, $lost with frames lost; $failed failed"
((failed == 0))
