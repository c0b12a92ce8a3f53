#!/bin/bash
# Where the software rasteriser's time goes, by generated shader function and by the draw that
# first needed it: runs a capture of BUILD's program under `perf record` with jit_sites
# preloaded, then prints the share of all samples in each generated function (the top N,
# default 15) with the program's call sites at its creation.
#
#   bench/profile/jit-profile.sh build [N] [-- letterbox options]   (default: --capture to a
#                                                                   temporary .y4m)
# Needs perf (Debian package linux-perf) and a build with debug information for the call
# sites (RelWithDebInfo, the default of `make`). Mesa's disk cache does not hide functions:
# LLVM finalises every function the rasteriser uses in each run.
set -euo pipefail

build=$(cd "${1:?usage: jit-profile.sh BUILD [N] [-- letterbox options]}" && pwd)
shift
top=15
if [[ $# -gt 0 && $1 != -- ]]; then
    top=$1
    shift
fi
[[ $# -gt 0 && $1 == -- ]] && shift
command -v perf > /dev/null || { echo "jit-profile: perf is not installed (apt-get install linux-perf)" >&2; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cc -O2 -shared -fPIC -o "$work/jit_sites.so" "$here/jit_sites.c" -ldl
args=("$@")
[[ ${#args[@]} -eq 0 ]] && args=(--capture "$work/run.y4m")

cd "$build"
JIT_SITES_LOG="$work/sites.log" LD_PRELOAD="$work/jit_sites.so" SDL_AUDIODRIVER=dummy \
    perf record -q -F 499 -o "$work/perf.data" ./letterbox "${args[@]}" > /dev/null
perf script -i "$work/perf.data" -F ip,dso --hide-call-graph 2> /dev/null > "$work/samples.txt"
python3 "$here/jit_report.py" "$work/sites.log" "$work/samples.txt" "$build/letterbox" "$top"
