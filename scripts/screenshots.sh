#!/usr/bin/env bash
# Pictures of every window as a user sees them: a virtual display of the given size with the
# openbox window manager, the program's windows opened in turn by build/bin/screenshot_tour.
# Usage: scripts/screenshots.sh [WIDTHxHEIGHT] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
size="${1:-1280x1024}"
out="${2:-build/screenshots/$size}"
cmake --build build --target screenshot_tour > /dev/null
display=":$((50 + RANDOM % 200))"
home="$(mktemp -d)"
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp &
xvfb=$!
trap 'kill "$wm" 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; rm -rf "$home"' EXIT
sleep 1
DISPLAY="$display" openbox &
wm=$!
sleep 1
unset QT_QPA_PLATFORM
DISPLAY="$display" LANG=C LC_ALL=C timeout 120 build/bin/screenshot_tour "$out" "$home/ZELM"
