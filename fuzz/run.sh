#!/usr/bin/env bash
# One fuzzing session of one target, at the lowest priority, then the kept corpus
# minimised again. The target's program comes from a build configured with
# CC=clang CXX=clang++ -DLETTERBOX_FUZZ=ON (and LETTERBOX_SANITIZE=ON).
# usage: fuzz/run.sh FUZZ-BUILD TARGET SEEDS [libFuzzer options, e.g. -runs=10000000]
#   SEEDS: a folder from fuzz/seeds.sh (its TARGET subfolder is read), or - for none.
# The session's corpus grows in FUZZ-BUILD/corpus/TARGET and outlives the session;
# fuzz/corpus/TARGET is replaced by the minimised union of it and the old one.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: fuzz/run.sh FUZZ-BUILD TARGET SEEDS [options]}
target=${2:?usage: fuzz/run.sh FUZZ-BUILD TARGET SEEDS [options]}
seeds=${3:?usage: fuzz/run.sh FUZZ-BUILD TARGET SEEDS [options]}
shift 3
program=$(find "$build/fuzz" -type f -name "$target" -perm -u+x | head -n 1)
[[ -n $program ]] || { echo "no $target under $build/fuzz" >&2; exit 1; }

case $target in
fuzz_bitmap) dict=bitmap.dict max_len=16384 ;;
fuzz_wavefile) dict=wavefile.dict max_len=8192 ;;
fuzz_xfile_binary) dict=xfile_binary.dict max_len=16384 ;;
fuzz_xmesh | fuzz_xfile | fuzz_xfile_text) dict=xfile_text.dict max_len=16384 ;;
*) echo "unknown target $target" >&2; exit 1 ;;
esac

work=$build/corpus/$target
kept=$here/corpus/$target
artifacts=$build/artifacts/$target/
mkdir -p "$work" "$kept" "$artifacts"
sources=("$kept")
[[ $seeds != - ]] && sources+=("$seeds/$target")

nice -n 19 "$program" -dict="$here/dict/$dict" -max_len=$max_len -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts" "$@" \
    "$work" "${sources[@]}"

# Minimise: the smallest set of inputs that covers what the session and the old
# corpus covered together.
fresh=$(mktemp -d "$build/corpus/$target.min.XXXXXX")
nice -n 19 "$program" -merge=1 -max_len=$max_len -timeout=10 "$fresh" "$kept" "$work" \
    2>&1 | grep -E '^MERGE-OUTER: [0-9]+ new files' || true
rm -rf "$kept"
mv "$fresh" "$kept"
echo "$target: $(ls "$kept" | wc -l) inputs, $(du -sb "$kept" | cut -f1) bytes kept in fuzz/corpus/$target"
