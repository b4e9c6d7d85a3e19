#!/usr/bin/env bash
# Sets up, builds and starts the game: the window when there is a display, the terminal front
# end otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/kelvara ]; then
  exec build/kelvara "$@"
fi
echo "No display: starting the terminal front end (build/kelvara-cli)."
exec build/kelvara-cli "$@"
