#!/usr/bin/env bash
# The README's tables of the yard's figures, as Markdown:
#   bash tools/yardfigures.sh [BUILD_DIR]
# the positions of one locomotive unit and 3 to 7 cars, then the par of 1,000 seeded quizzes per
# level band of every shipped train (two trains at a time; some ten minutes on two cores).
set -euo pipefail
build=$(realpath "${1:-build}")
tool="$build/yardfigures"
[ -x "$tool" ] || { echo "build the target yardfigures first"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "| cars | positions reachable | can still be finished | hardest (fewest commands) |"
echo "|---:|---:|---:|---:|"
for cars in 3 4 5 6 7; do
  line=$("$tool" positions "$cars" || true)
  if [[ $line == *"not enumerated"* ]]; then
    echo "| $cars | more than 10,000,000: not enumerated | | |"
  else
    read -r _ _ _ positions _ finishable _ hardest _ <<<"$line"
    echo "| $cars | $positions | $finishable | $hardest |"
  fi
done
echo

for trd in "$build"/Cars/*.trd; do echo "$(basename "$trd")"; done |
  xargs -P2 -I{} sh -c "'$tool' par '$build/Cars' {} 1000 > '$work/{}.txt' 2>&1 || true"
echo "| train | cars | levels | lowest | 10% | median | 90% | highest | not proven |"
echo "|---|---:|---|---:|---:|---:|---:|---:|---:|"
cat "$work"/*.txt | awk '$2 == "m" {printf "| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", $1, $5, $7, $11, $13, $15, $17, $19, $23}'
