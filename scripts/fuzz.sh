#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each on a scratch copy of its seed corpus.
#   bash scripts/fuzz.sh [RUNS]      (default 20000 runs a target; 1000000 for a long run)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20000}
build=${FUZZ_BUILD:-build-fuzz}

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DKELVARA_FUZZ=ON -DKELVARA_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(trd loco bmp ini oneinput)
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

bindir=$(realpath "$build")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for t in "${targets[@]}"; do
  cp -r "fuzz/corpus/$t" "$scratch/$t"
  echo "fuzz_$t: $runs runs"
  (cd "$scratch" && "$bindir/fuzz_$t" -runs="$runs" -max_len=4096 "$scratch/$t" >"$scratch/$t.log" 2>&1) || {
    tail -n 40 "$scratch/$t.log"
    echo "fuzz_$t found a failure"
    exit 1
  }
  grep -E '^Done' "$scratch/$t.log"
done
