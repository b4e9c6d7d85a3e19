#!/usr/bin/env bash
# Sets up, builds and runs every test: once optimised, once under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j2
  ctest --test-dir "$dir" --output-on-failure -j2
}

echo "== fuzz targets, a short run each =="
bash scripts/fuzz.sh 20000

echo "== build and test =="
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== build and test with sanitizers =="
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DKELVARA_SANITIZE=ON -DKELVARA_BENCH=OFF
