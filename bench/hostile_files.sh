#!/usr/bin/env bash
# What hostile files cost the game: each case run through kelvara-cli, with its time and peak
# memory side by side with a plain start on the default set.
#   bash bench/hostile_files.sh [BUILD_DIR]
set -u
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/kelvara-cli" "$work/"  # a portable copy: its settings and log stay in $work
cp -r "$build/Cars" "$work/Cars"
cli="$work/kelvara-cli"

measure() {  # name, then the command's arguments; a line of time, memory and what it said
  local name=$1
  shift
  local out
  /usr/bin/time -o "$work/time" -f '%e s, %M kB' timeout 60 "$cli" "$@" </dev/null >"$work/out" 2>&1
  out=$(tail -n 1 "$work/time")
  printf '%-34s %-18s %s\n' "$name" "$out" "$(grep -m 1 -E 'Err\.Number|not|Not' "$work/out" | sed "s|$work/||" | cut -c 1-90)"
}

measure "the default set" --data "$work/Cars" --seed 1 --lang en
truncate -s 2G "$work/Cars/huge.trd"
measure "a 2 GB sparse train file" --data "$work/Cars" --train "$work/Cars/huge.trd" --seed 1 --lang en
ln -s /proc/self/mem "$work/Cars/eio.trd"
measure "a train file that fails with EIO" --data "$work/Cars" --train "$work/Cars/eio.trd" --seed 1 --lang en
mkfifo "$work/Cars/fifo.trd"
measure "a FIFO as the train file" --data "$work/Cars" --train "$work/Cars/fifo.trd" --seed 1 --lang en
rm -f "$work/kelvara-cli.ini"
mkfifo "$work/kelvara-cli.ini"
measure "a FIFO as the settings file" --data "$work/Cars" --seed 1 --lang en
rm "$work/kelvara-cli.ini"
ln -s /dev/zero "$work/kelvara-cli.ini"
measure "/dev/zero as the settings file" --data "$work/Cars" --seed 1 --lang en
