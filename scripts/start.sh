#!/usr/bin/env bash
# Sets up, builds the editor in build/release and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_BENCH=OFF -DMORVANE_TESTS=OFF >/dev/null
cmake --build build/release --target morvane
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting the editor on a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" build/release/app/morvane
fi
exec build/release/app/morvane
