#!/usr/bin/env bash
# Sets up, builds and starts the game (the most complete front end built so far).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2

for app in build/kelvara build/kelvara-cli; do
  if [ -x "$app" ]; then
    exec "$app" "$@"
  fi
done
echo "No front end is built yet; the core and its tests are in build/."
