#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each on a scratch copy of its seed corpus.
#   bash scripts/fuzz.sh [RUNS] [TARGET...]   (default 20000 runs of every target; 2000000 for a
#                                              long run). An input that fails is kept in
#                                              build-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20000}
build=${FUZZ_BUILD:-build-fuzz}

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DKELVARA_FUZZ=ON -DKELVARA_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(trd loco bmp ini oneinput quizcode yardtext records)
if (($# > 1)); then targets=("${@:2}"); fi
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

bindir=$(realpath "$build")
findings="$bindir/findings"
mkdir -p "$findings"
# A short allocation stack a report: every run allocates, and unwinding each time costs more than
# the input's own work.
export ASAN_OPTIONS="malloc_context_size=4:${ASAN_OPTIONS:-}"
# Undefined behaviour stops a run like a crash does: a report is a finding, never a note in a log.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for t in "${targets[@]}"; do
  cp -r "fuzz/corpus/$t" "$scratch/$t"
  # Long strings only add more of the same moves; 128 bytes hold dozens of commands.
  maxlen=4096
  [ "$t" = oneinput ] && maxlen=128
  # A database is pages of 4 kB: a few of them hold the schema, a game left and some records. Each
  # input is a file opened by SQLite, some 300 a second: a tenth of the runs takes as long as the
  # other targets' whole.
  target_runs=$runs
  if [ "$t" = records ]; then
    maxlen=65536
    target_runs=$(((runs + 9) / 10))
  fi
  echo "fuzz_$t: $target_runs runs"
  (cd "$scratch" && "$bindir/fuzz_$t" -runs="$target_runs" -max_len="$maxlen" -artifact_prefix="$findings/$t-" \
      "$scratch/$t" >"$scratch/$t.log" 2>&1) || {
    tail -n 40 "$scratch/$t.log"
    echo "fuzz_$t found a failure; the input is in $findings"
    exit 1
  }
  if grep -q 'runtime error:' "$scratch/$t.log"; then
    grep -m 5 -A 5 'runtime error:' "$scratch/$t.log"
    echo "fuzz_$t: undefined behaviour; the inputs are in $scratch/$t"
    exit 1
  fi
  grep -E '^Done' "$scratch/$t.log"
done
