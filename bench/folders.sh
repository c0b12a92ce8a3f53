# Sourced by the benchmark scripts from the repository root: bench_folders PREFIX [BUILD] [OUT]
# sets $build (default build/) and $out (default a new folder /tmp/PREFIX.XXXXXX) as
# absolute paths, and stops when the program or its generated data is missing.
bench_folders() {
    local prefix="$1"
    build="$(cd "${2:-build}" && pwd)"
    out="${3:-$(mktemp -d "/tmp/$prefix.XXXXXX")}"
    mkdir -p "$out"
    out="$(cd "$out" && pwd)"
    if [ ! -x "$build/letterbox" ] || [ ! -d "$build/data" ]; then
        echo "$build/letterbox or $build/data is missing: build the letterbox and content_data targets" >&2
        exit 1
    fi
}
