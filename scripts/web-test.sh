#!/usr/bin/env bash
# Tests the WebAssembly build in a real browser: Debian's Chromium, headless, with software
# WebGL (SwiftShader). Serves the web build beside native reference frames on a free localhost
# port and runs tests/web/browser-test.mjs, which checks
#   pictures: frames of a run on the virtual clock (clock=virtual) against the native
#             capture's PNG files of the same frame index, within a stated tolerance;
#   sound:    with audio autoplay refused the page waits for a click, then runs with its
#             Web Audio context running;
# and fails on any console error or uncaught exception. It also prints the page weight, the
# time from navigation to the first scene frame and the frame rate on the real clock.
#
# Usage: scripts/web-test.sh [WEB_DIR] [NATIVE_BUILD_DIR] [-- DRIVER_OPTIONS]
#   WEB_DIR           the web build: letterbox.html, .js, .wasm, .data (default web)
#   NATIVE_BUILD_DIR  a native build with letterbox and data/ (default build): it captures the
#                     reference frames, kept in NATIVE_BUILD_DIR/web-test-native/ for later
#                     runs until the program or its data change (a run captures only the
#                     frames missing there; LETTERBOX_WEB_TEST_FRESH=1 makes them all again)
#   DRIVER_OPTIONS    passed to the driver, for example --only sound, --out DIR (keeps the
#                     grabbed frames and difference pictures), --frames 0,600,2206,
#                     --reference-offset 1 (a deliberately wrong reference: must fail);
#                     node tests/web/browser-test.mjs --help lists them
# Installs what is missing: Debian's chromium (and nodejs, npm), then `npm ci` in tests/web.
# Nothing downloads a browser of its own. Takes a few minutes: making the references is a
# native capture up to the last frame compared (about 1.5 min), and the virtual-clock run
# renders every frame up to it with software WebGL.
# Exit status: the driver's (0 passed, 1 a check failed, 2 a set-up error).
set -euo pipefail
# Folders given are taken from the current folder; the defaults from the repository's root.
caller="$(pwd)"
cd "$(dirname "$0")/.."
root="$(pwd)"

web_arg="$root/web"
build_arg="$root/build"
positional=0
driver_args=()
while [ $# -gt 0 ]; do
    if [ "$1" = "--" ]; then
        shift
        driver_args=("$@")
        break
    fi
    case "$positional" in
        0) web_arg="$(cd "$caller" && realpath -m -- "$1")" ;;
        1) build_arg="$(cd "$caller" && realpath -m -- "$1")" ;;
        *) echo "web-test: too many arguments (usage: scripts/web-test.sh [WEB_DIR] [NATIVE_BUILD_DIR] [-- OPTIONS])" >&2
           exit 2 ;;
    esac
    positional=$((positional + 1))
    shift
done

if [ ! -d "$web_arg" ] || [ ! -f "$web_arg/letterbox.html" ]; then
    echo "web-test: $web_arg/letterbox.html is missing: make the web build first (make web)" >&2
    exit 2
fi
web="$(cd "$web_arg" && pwd)"
for f in letterbox.js letterbox.wasm letterbox.data; do
    [ -f "$web/$f" ] || echo "web-test: warning: $web/$f is missing" >&2
done
if [ ! -x "$build_arg/letterbox" ] || [ ! -d "$build_arg/data" ]; then
    echo "web-test: $build_arg/letterbox or $build_arg/data is missing: make build, then cmake --build $build_arg --target content_data" >&2
    exit 2
fi
build="$(cd "$build_arg" && pwd)"

# --- What is missing: Debian's packages, then the driver's one npm package.
missing=()
[ -x /usr/bin/chromium ] || missing+=(chromium)
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)
command -v python3 >/dev/null || missing+=(python3)
if [ ${#missing[@]} -gt 0 ]; then
    echo "web-test: installing ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "web-test: install ${missing[*]} as root" >&2; exit 2; }
        sudo="sudo"
    fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
driver_dir="$root/tests/web"
# npm ci writes node_modules/.package-lock.json: older than package-lock.json, it is stale.
if [ ! -f "$driver_dir/node_modules/.package-lock.json" ] ||
   [ "$driver_dir/package-lock.json" -nt "$driver_dir/node_modules/.package-lock.json" ]; then
    echo "web-test: npm ci in tests/web"
    (cd "$driver_dir" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi
driver=(node "$driver_dir/browser-test.mjs")

# --- The native reference frames: every frame the driver compares, and the one after each
# (none when only the sound check runs).
only_sound=0
for ((i = 0; i + 1 < ${#driver_args[@]}; ++i)); do
    [ "${driver_args[i]}" = "--only" ] && [ "${driver_args[i+1]}" = "sound" ] && only_sound=1
done
frames="$("${driver[@]}" --print-frames "${driver_args[@]}")" || exit 2
read -r -a wanted <<<"$frames"
[ ${#wanted[@]} -gt 0 ] || { echo "web-test: no frames to compare" >&2; exit 2; }
native="$build/web-test-native"
# The frames kept there belong to one build: the program and its data.
key="$( { sha256sum "$build/letterbox" | cut -d' ' -f1
          (cd "$build/data" && find . -type f -print0 | sort -z | xargs -0 sha256sum); } |
        sha256sum | cut -d' ' -f1)"

server_pid=""
capture_pid=""
prune_pid=""
serve=""
work="$(mktemp -d /tmp/letterbox-web-test.XXXXXX)"
cleanup() {
    # Only what this script started, by its own process id.
    local pid
    for pid in "$server_pid" "$prune_pid" "$capture_pid"; do
        if [ -n "$pid" ]; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$work" || true
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ "$only_sound" = "1" ]; then
    mkdir -p "$work/no-native"
    native="$work/no-native"
else
    if [ "${LETTERBOX_WEB_TEST_FRESH:-0}" = "1" ] || [ ! -f "$native/key" ] || [ "$(cat "$native/key")" != "$key" ]; then
        rm -rf "$native"
    fi
    mkdir -p "$native"
    echo "$key" >"$native/key"
    missing=()
    for f in "${wanted[@]}"; do
        [ -f "$native/$(printf 'frame-%05d.png' "$f")" ] || missing+=("$f")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        echo "web-test: native reference frames from $native (made by this build before)"
    else
        first="${missing[0]}"
        last="${missing[${#missing[@]}-1]}"
        # Frame f is at f*17 ms; half a tick either side writes exactly first..last.
        from="$(awk -v f="$first" 'BEGIN { s = (f * 17 - 8.5) / 1000; if (s < 0) s = 0; printf "%.4f", s }')"
        to="$(awk -v f="$last" 'BEGIN { printf "%.4f", (f * 17 + 8.5) / 1000 }')"
        echo "web-test: capturing ${#missing[@]} native reference frames (from $from s to $to s) with $build/letterbox"
        capture="$work/capture"
        mkdir -p "$capture"
        (cd "$build" && exec env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LETTERBOX_MESSAGEBOX=stderr \
            ./letterbox --capture "$capture" --from "$from" --to "$to") >"$work/capture.log" 2>&1 &
        capture_pid=$!
        # The capture writes every frame of the span; keep only those missing as they come.
        (
            declare -A keep=()
            for f in "${missing[@]}"; do keep["$(printf 'frame-%05d.png' "$f")"]=1; done
            prune() {
                local p
                for p in "$capture"/frame-*.png; do
                    [ -e "$p" ] || continue
                    [ -n "${keep[${p##*/}]:-}" ] || rm -f "$p"
                done
            }
            while kill -0 "$capture_pid" 2>/dev/null; do prune; sleep 1; done
            prune
        ) &
        prune_pid=$!
        status=0
        wait "$capture_pid" || status=$?
        capture_pid=""
        wait "$prune_pid" || true
        prune_pid=""
        # Anything but the progress and the summary line (a shader that did not compile, a
        # message box) makes the frames no reference.
        grep -v -e '%' -e '^letterbox: wrote frames' -e '^[[:space:]]*$' "$work/capture.log" >"$work/capture.problems" || true
        if [ "$status" -ne 0 ] || [ -s "$work/capture.problems" ]; then
            head -n 20 "$work/capture.problems" | sed 's/^/  /' >&2
            echo "web-test: the native capture exited with $status and reported $(wc -l <"$work/capture.problems")" \
                 "lines of problems (the first 20 above): its frames are no reference" >&2
            exit 2
        fi
        grep '^letterbox: wrote frames' "$work/capture.log" | sed 's/^/  /' || true
        for f in "${missing[@]}"; do
            name="$(printf 'frame-%05d.png' "$f")"
            if [ ! -f "$capture/$name" ]; then
                echo "web-test: the native capture wrote no $name" >&2
                exit 2
            fi
            mv "$capture/$name" "$native/$name"
        done
    fi
fi

# --- Serve the web build (linked, not copied) and native/ from one folder.
serve="$work/serve"
mkdir -p "$serve"
for f in "$web"/*; do
    ln -s "$f" "$serve/${f##*/}"
done
ln -sfn "$native" "$serve/native"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$serve" >"$work/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 1 100); do
    port="$(sed -n 's/^Serving HTTP on [^ ]* port \([0-9]*\).*/\1/p' "$work/server.log" | head -n 1)"
    [ -n "$port" ] && break
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$port" ]; then
    cat "$work/server.log" >&2
    echo "web-test: the http server did not start" >&2
    exit 2
fi
echo "web-test: serving $web and native/ on http://127.0.0.1:$port/"

status=0
"${driver[@]}" --base "http://127.0.0.1:$port/" "${driver_args[@]}" || status=$?
exit "$status"
