#!/usr/bin/env bash
# Installs what is missing, builds, and starts the card index.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELM_BENCH=OFF > /dev/null
cmake --build build --target zelm reportf -j"$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display to show the window on; run it under a virtual display: xvfb-run -a -s '-screen 0 1280x1024x24' scripts/run.sh"
  exit 1
fi
echo "Data folder: ${ZELM_HOME:-$HOME/ZELM}"
exec ./build/bin/zelm
