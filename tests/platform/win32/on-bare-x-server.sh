#!/usr/bin/env bash
# Runs a test program on an X server of its own with no window manager (Xvfb at
# 1920 x 1080), where a full-screen request is acted on by nobody. Skipped (77) when
# Xvfb is not installed.
# Usage: on-bare-x-server.sh PROGRAM [ARGUMENTS...]
set -uo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb not installed: skipped"; exit 77; }
display=120
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.05
done
DISPLAY=":$display" SDL_VIDEODRIVER=x11 "$@"
