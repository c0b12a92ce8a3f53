#!/usr/bin/env bash
# Seed corpora for the fuzz targets from the generated data and from the inputs
# the tests' smoke runs write (fuzz_seeds/ folders of a test build).
# usage: fuzz/seeds.sh BUILD OUT   (BUILD holds data/; OUT gets one folder per target)
set -euo pipefail
build=${1:?usage: fuzz/seeds.sh BUILD OUT}
out=${2:?usage: fuzz/seeds.sh BUILD OUT}
data=$build/data
[[ -d $data ]] || { echo "no $data: build the content_data target first" >&2; exit 1; }
for t in fuzz_bitmap fuzz_xmesh fuzz_xfile fuzz_xfile_text fuzz_xfile_binary fuzz_wavefile; do
    mkdir -p "$out/$t"
done

# Bitmaps: one of each size the generator writes (the large ones cut to their
# first 64 KiB: the reader must refuse them, and the cut keeps runs fast).
declare -A seen=()
for f in "$data"/*.bmp; do
    size=$(stat -c %s "$f")
    [[ -n ${seen[$size]:-} ]] && continue
    seen[$size]=1
    head -c 65536 "$f" > "$out/fuzz_bitmap/$(basename "$f")"
done

# Meshes: whole files for the loader and for the parser (whose first byte, even,
# asks for a file); the bodies after the 16-byte header for the text and binary forms.
for f in "$data"/*.x; do
    name=$(basename "$f")
    cp "$f" "$out/fuzz_xmesh/$name"
    { printf '\0'; cat "$f"; } > "$out/fuzz_xfile/$name"
    case $(head -c 16 "$f") in
    *txt*) tail -c +17 "$f" > "$out/fuzz_xfile_text/$name" ;;
    *bin*) tail -c +17 "$f" > "$out/fuzz_xfile_binary/$name" ;;
    esac
done

# The soundtrack: its header with 4 KiB of sound, the sizes rewritten to fit, and
# the same bytes with the sizes of the whole file left in (a header that lies).
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
head -c 4140 "$data/dmb.wav" > "$out/fuzz_wavefile/dmb-cut-lying"
{ head -c 4 "$data/dmb.wav"; le32 4132; head -c 40 "$data/dmb.wav" | tail -c +9 | head -c 32
  le32 4096; head -c 4140 "$data/dmb.wav" | tail -c +45; } > "$out/fuzz_wavefile/dmb-cut"

# The smoke runs' own seeds.
smoke() { [[ -d $1 ]] && for f in "$1"/*; do cp "$f" "$2/smoke-$(basename "$1")-$(basename "$f")"; done; true; }
smoke "$build/tests/d3dx/fuzz_seeds/bitmap" "$out/fuzz_bitmap"
smoke "$build/tests/d3dx/fuzz_seeds/xmesh" "$out/fuzz_xmesh"
smoke "$build/tests/platform/xfile/fuzz_seeds/xfile" "$out/fuzz_xfile"
for f in "$out"/fuzz_xmesh/smoke-*; do
    [[ -e $f ]] || continue
    case $(head -c 16 "$f") in
    *txt*) tail -c +17 "$f" > "$out/fuzz_xfile_text/$(basename "$f")" ;;
    *bin*) tail -c +17 "$f" > "$out/fuzz_xfile_binary/$(basename "$f")" ;;
    esac
done
for t in "$out"/*; do
    echo "$(basename "$t"): $(ls "$t" | wc -l) seeds"
done
