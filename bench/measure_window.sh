#!/usr/bin/env bash
# The main window's costs, measured side by side in one run (not a timed test):
#   bash bench/measure_window.sh [BUILD_DIR]
# start-up against a bare Qt window, resident size, CPU while a quiz waits, files a move opens.
set -euo pipefail
build=$(realpath "${1:-build}")
driver="$build/bench/window_driver"
[ -x "$driver" ] || { echo "build the target window_driver first"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build/Cars" "$work/Cars"
ln -s "$build/icons" "$work/icons"
cd "$work"
export QT_QPA_PLATFORM=offscreen

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratio() { awk -v g="$1" -v b="$2" 'BEGIN{printf "%.2f", g/b}'; }
runs=11
: >bare.txt; : >first.txt; : >later.txt
"$driver" startup >/dev/null 2>&1 && cp kelvara.ini settled.ini  # an INI file as a later run finds it
# Each game run follows a bare one and each bare run a game one: the run after another program
# pays for the caches that program took, so both kinds pay alike.
for _ in $(seq $runs); do
  "$driver" bare >>bare.txt
  cp settled.ini kelvara.ini
  "$driver" startup >>later.txt 2>/dev/null  # reads it
  "$driver" bare >>bare.txt
  rm -f kelvara.ini kelvara.log
  "$driver" startup >>first.txt 2>/dev/null  # creates it
done
bare=$(median <bare.txt)
echo "start-up, median of $runs, microseconds from main (the sign's five-second hold not counted):"
echo "  bare Qt window shown and painted: $bare"
for run in first later; do
  logged=$(cut -d' ' -f1 <$run.txt | median); painted=$(cut -d' ' -f2 <$run.txt | median)
  echo "  game, $run run: 'Wake up complete' $logged (ratio $(ratio "$logged" "$bare")), window painted $painted (ratio $(ratio "$painted" "$bare"))"
done

# A start that takes up a kept game, against bare runs of its own, in a folder of its own.
mkdir resume && cd resume
ln -s "$build/Cars" Cars
ln -s "$build/icons" icons
cp ../settled.ini kelvara.ini
"$driver" keep >/dev/null 2>&1 || echo "  (no game could be kept)"
: >bare.txt; : >resumed.txt
for _ in $(seq $runs); do
  "$driver" bare >>bare.txt
  "$driver" resumed >>resumed.txt 2>/dev/null  # keeps the game again as it ends
done
bare=$(median <bare.txt)
logged=$(cut -d' ' -f1 <resumed.txt | median); painted=$(cut -d' ' -f2 <resumed.txt | median)
taken=$(awk '$3 == 1' resumed.txt | wc -l)
echo "  game taken up again ($taken of $runs runs did): 'Wake up complete' $logged (ratio $(ratio "$logged" "$bare")), window painted $painted (ratio $(ratio "$painted" "$bare")); bare $bare"
read -r record opened < <("$driver" statistics 2>/dev/null)
echo "records: one game recorded among 10,000 in $record microseconds; the statistics window opened and painted in $opened microseconds"
cd ..

echo "resident size after start-up: $("$driver" memory 2>/dev/null) kB"

read -r moves cpu wall < <("$driver" idle 2>/dev/null)
echo "a quiz of level 10 ($moves moves, drawing on): $cpu s of CPU in $wall s," \
     "$(awk -v c="$cpu" -v w="$wall" 'BEGIN{printf "%.2f", 100*c/w}')% of one core"

if command -v strace >/dev/null; then
  strace -f -qq -e trace=openat,open,access -o trace.txt "$driver" pull >/dev/null 2>&1 || true
  opens=$(awk '/kelvara-pull-begins/{on=1; next} /kelvara-pull-ends/{on=0} on && /open/' trace.txt | wc -l)
  echo "files opened during a pull of two cars: $opens"
else
  echo "files opened during a pull: strace is not installed (apt-get install strace)"
fi

# The longest the window went without answering, 100 seeded quizzes of the largest trains played
# through it: every search on the window's thread (as it once ran) against the worker.
echo "longest event-loop stall, milliseconds (a watchdog timer's lateness), 100 quizzes of the largest trains:"
for how in sync worker; do
  "$driver" stalls $([ $how = sync ] && echo sync) 2>/dev/null >stalls-$how.txt
  echo "  searches $([ $how = sync ] && echo 'on the window thread' || echo 'on the worker'): $(tr '\n' ' ' <stalls-$how.txt)"
done
