#!/usr/bin/env bash
# Scripted play through kelvara-cli: the same options make the same quiz, and a string that
# solves it reaches the completion announcement.
set -u
program=$1
cars=$2
readme=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Every run records its games in a scratch database, not in the player's.
cli() { "$program" --records "$scratch/records.sqlite" "$@"; }
failures=0
checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { checks=$((checks + 1)); }

for seed in 1 2 3 4 5 6; do
  args=(--seed "$seed" --level 7 --lang en)
  check
  first=$(printf 'yard\n' | cli "${args[@]}")
  again=$(printf 'yard\n' | cli "${args[@]}")
  [ "$first" = "$again" ] || fail "seed $seed: two runs made different quizzes"

  solution=$(printf 'solve\n' | cli "${args[@]}" | tail -n 1)
  out=$(printf '%s\n' "$solution" | cli "${args[@]}")
  grep -qx '\*\*\* Complete \*\*\*' <<<"$out" || fail "seed $seed: '$solution' did not complete"
  grep -q '^AddTrain in 0 to 1$' <<<"$out" || fail "seed $seed: no move lines"
  grep -q '^Line 2:' <<<"$out" || fail "seed $seed: no yard dump"
done

# A chosen locomotive set and train, in Japanese.
check
out=$(printf 'solve\n' | cli --seed 9 --loco 3 --train "$cars/branch_short.trd" --lang ja)
solution=$(tail -n 1 <<<"$out")
grep -q '支線の短い列車' <<<"$out" || fail "the chosen train is not announced"
out=$(printf '%s\n' "$solution" | cli --seed 9 --loco 3 --train "$cars/branch_short.trd" --lang ja)
grep -qx '\*\*\* 編成完成 \*\*\*' <<<"$out" || fail "no Japanese completion"

# Pushing into the stopper derails the train and says so.
check
out=$(printf 'P40\n' | cli --seed 2 --lang en)
grep -q 'Destroy car stopper!' <<<"$out" || fail "no derailment"
grep -q 'This train service will be suspended.' <<<"$out" || fail "no closing derailment message"

# The terminal refuses what the window would: Front while the locomotive stands on the head shunt,
# Redo with nothing taken back, Hint once the game is over; and lets through what it offers.
check
out=$(printf 'front 2\nredo\nback\nfront 1\nundo\nredo\nP40\nhint\nundo\n' | cli --seed 5 --lang en)
[ "$(grep -c 'is not available now' <<<"$out")" -eq 4 ] || fail "the gate: $(grep 'not available' <<<"$out" | tr '\n' ' ')"
grep -q '^(front is not available now)$' <<<"$out" || fail "front offered with the locomotive on the head shunt"
grep -q '^(hint is not available now)$' <<<"$out" || fail "a hint offered after the derailment"
grep -q '^CutTrain In ' <<<"$out" || fail "front 1 after back did not pull"
grep -q '^Redo : ' <<<"$out" || fail "redo after undo was refused"

# Train data whose bitmap headers give extreme sizes loads and plays to the end; a sanitizer build
# of the program stops at the first overflow.
check
data=$scratch/data
mkdir -p "$data"
le32() {
  local v=$(( $1 & 0xFFFFFFFF ))
  printf "\\\\x%02x\\\\x%02x\\\\x%02x\\\\x%02x" $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255))
}
bmp() {  # name width height: a bare header with the two sizes at bytes 18 and 22
  { printf 'BM'; head -c 16 /dev/zero; printf "$(le32 "$2")$(le32 "$3")"; head -c 28 /dev/zero; } >"$data/$1"
}
bmp loco.bmp 64 16; bmp car.bmp 64 16; bmp neg.bmp -2147483648 16; bmp wide.bmp 2147483647 1
bmp tall.bmp 1 -2147483648
printf '[Loco]\nNum=1\n[0]\nName=L\nImage=loco.bmp\nImage1=wide.bmp\n' >"$data/loco.lst"
printf 'Extreme\nsound\ncar.bmp\nneg.bmp\nwide.bmp\ntall.bmp\ncar.bmp\n' >"$data/extreme.trd"
solution=$(printf 'solve\n' | cli --data "$data" --seed 3 --lang en 2>&1 | tail -n 1)
out=$(printf '%s\n' "$solution" | cli --data "$data" --seed 3 --lang en 2>&1)
grep -qx '\*\*\* Complete \*\*\*' <<<"$out" || fail "extreme headers: '$solution' did not complete"
grep -q 'runtime error' <<<"$out" && fail "extreme headers: undefined behaviour"

# A train picked at random that does not load makes way for one that does.
check
mixed=$scratch/mixed
mkdir -p "$mixed"
cp "$cars/loco.lst" "$cars/branch_short.trd" "$cars"/*.bmp "$mixed/"
printf 'Broken\nsound\nmissing.bmp\n' >"$mixed/a_broken.trd"
for seed in 1 2 3 4 5 6; do
  out=$(printf 'yard\nquit\n' | cli --data "$mixed" --seed "$seed" --lang en 2>&1) ||
    fail "a broken train among good ones ended the run (seed $seed): $(tail -n 1 <<<"$out")"
done

# Records: a game left at the end of the input, one completed, one derailed; stats counts them.
check
rec=$scratch/own.sqlite
solution=$(printf 'solve\n' | "$program" --records "$rec" --seed 3 --level 7 --lang en | tail -n 1)
printf '%s\n' "$solution" | "$program" --records "$rec" --seed 3 --level 7 --lang en >/dev/null
printf 'P40\n' | "$program" --records "$rec" --seed 2 --lang en >/dev/null
printf 'back\n' | "$program" --records "$rec" --seed 5 --lang en >/dev/null
out=$("$program" stats --records "$rec")
grep -qx 'games 3, completed 1, derailed 1, left 1' <<<"$out" || fail "stats: $out"
grep -q '^streak 0, longest 1$' <<<"$out" || fail "streaks: $out"

# --resume: the game at quit is kept and comes back as it stood, whatever the seed; so after SIGTERM.
check
before=$(printf 'back\nfront 1\nback\nyard\nquit\n' | "$program" --records "$rec" --seed 4 --lang en --resume)
grep -q 'the game in progress is kept' <<<"$before" || fail "resume: nothing kept"
after=$(printf 'yard\n' | "$program" --records "$rec" --seed 77 --lang en --resume)
grep -q '^The game you left is back' <<<"$after" || fail "resume: not taken up: $(head -n 3 <<<"$after")"
[ "$(grep '^Line' <<<"$before" | tail -n 3)" = "$(grep '^Line' <<<"$after" | tail -n 3)" ] || fail "resume: another yard"
fifo=$scratch/in
mkfifo "$fifo"
"$program" --records "$scratch/records.sqlite" --seed 6 --lang en --resume <"$fifo" >"$scratch/term.out" 2>&1 &
pid=$!
exec 3>"$fifo"
printf 'back\nfront 1\n' >&3
sleep 0.5
kill -TERM "$pid"
wait "$pid"
code=$?
exec 3>&-
[ "$code" -eq 0 ] || fail "SIGTERM: exit $code"
grep -q 'the game in progress is kept' "$scratch/term.out" || fail "SIGTERM: nothing kept"
out=$(printf 'yard\n' | cli --lang en --resume)
grep -q '^The game you left is back' <<<"$out" || fail "SIGTERM: not taken up"

# Waits until FILE holds COUNT lines matching PATTERN; a minute at most, a ceiling for a failing run.
wait_lines() {
  for _ in $(seq 1 600); do
    [ "$(grep -c -- "$2" "$1" 2>/dev/null)" -ge "$3" ] && return 0
    sleep 0.1
  done
  return 1
}

# A kill in the middle of a game: the next --resume brings back the game as it stood after the
# last move, with its history (an undo takes the last move back).
check
kill_db=$scratch/kill.sqlite
mkfifo "$scratch/kin"
"$program" --records "$kill_db" --seed 8 --lang en --resume <"$scratch/kin" >"$scratch/kill.out" 2>&1 &
pid=$!
exec 4>"$scratch/kin"
printf 'back\nfront 1\nhelp\nyard\nback\nhelp\nyard\n' >&4
wait_lines "$scratch/kill.out" '^usage:' 2 && wait_lines "$scratch/kill.out" '^Line 2:' 7 || fail "kill: the moves were not played"
kill -KILL "$pid"
wait "$pid" 2>/dev/null
exec 4>&-
# The yard printed after each "help": after the pull, and after the back-in that followed it.
yard_after_help() { awk -v n="$2" '/^usage:/ { k++ } k == n && /^Line/ && c < 3 { print; c++ }' "$1"; }
before_last=$(yard_after_help "$scratch/kill.out" 1)
last=$(yard_after_help "$scratch/kill.out" 2)
out=$(printf 'yard\nundo\nyard\nquit\n' | "$program" --records "$kill_db" --seed 99 --lang en --resume)
grep -q '^The game you left is back' <<<"$out" || fail "kill: the game was lost: $(head -n 3 <<<"$out")"
resumed=$(grep '^Line' <<<"$out" | sed -n '4,6p')
undone=$(grep '^Line' <<<"$out" | tail -n 3)
[ "$resumed" = "$last" ] || fail "kill: another yard came back"
[ "$undone" = "$before_last" ] || fail "kill: the history did not come back"

# Two programs with --resume at once keep both their games, and two later ones take up one each.
check
two_db=$scratch/two.sqlite
for n in 1 2; do
  mkfifo "$scratch/in$n"
  "$program" --records "$two_db" --seed $((n + 30)) --lang en --resume <"$scratch/in$n" >"$scratch/two$n.out" 2>&1 &
  eval "pid$n=\$!"
  eval "exec $((n + 4))>\"$scratch/in$n\""
done
printf 'back\nyard\n' >&5
printf 'back\nfront 0\nback\nyard\n' >&6
wait_lines "$scratch/two1.out" '^Line 2:' 3 && wait_lines "$scratch/two2.out" '^Line 2:' 4 || fail "two: not played"
printf 'quit\n' >&5
printf 'quit\n' >&6
exec 5>&- 6>&-
wait "$pid1" "$pid2"
for n in 1 2; do
  grep -q 'the game in progress is kept' "$scratch/two$n.out" || fail "two: game $n not kept"
done
kept="$(grep '^Line' "$scratch/two1.out" | tail -n 3)
$(grep '^Line' "$scratch/two2.out" | tail -n 3)"
for n in 3 4; do
  mkfifo "$scratch/in$n"
  "$program" --records "$two_db" --seed 5 --lang en --resume <"$scratch/in$n" >"$scratch/two$n.out" 2>&1 &
  eval "pid$n=\$!"
  eval "exec $((n + 4))>\"$scratch/in$n\""
  eval "printf 'yard\\n' >&$((n + 4))"
  wait_lines "$scratch/two$n.out" '^Line 2:' 2 || fail "two: run $n did not start"
done
printf 'quit\n' >&7
printf 'quit\n' >&8
exec 7>&- 8>&-
wait "$pid3" "$pid4"
taken="$(grep '^Line' "$scratch/two3.out" | tail -n 3)
$(grep '^Line' "$scratch/two4.out" | tail -n 3)"
[ "$(sort <<<"$kept")" = "$(sort <<<"$taken")" ] || fail "two: the games taken up are not the two kept"
grep -q '^The game you left is back' "$scratch/two3.out" && grep -q '^The game you left is back' "$scratch/two4.out" ||
  fail "two: not both taken up"

# A quiz code: printed by "code", played again by --code from its start in another run, refused
# with its reason for a typing error.
check
code=$(printf 'code\nquit\n' | cli --seed 12 --lang en | tail -n 1)
[[ $code =~ ^[0-9A-Z-]+.$ ]] || fail "code: not a code: $code"
first=$(printf 'yard\nquit\n' | cli --seed 12 --lang en | grep '^Line' | head -n 3)
again=$(printf 'yard\nquit\n' | cli --seed 99 --lang en --code "$code" | grep '^Line' | head -n 3)
[ "$first" = "$again" ] || fail "code: another yard"
typo="${code:0:2}$([ "${code:2:1}" = A ] && echo B || echo A)${code:3}"
out=$(cli --lang en --code "$typo" </dev/null 2>&1) && fail "code: a typing error accepted"
grep -q 'typing error' <<<"$out" || fail "code: no reason given: $out"

# Two copies of the data in two folders: a code made by one is played by the other as it was made,
# and the day's quiz is one code in both.
check
mkdir -p "$scratch/a" "$scratch/b"
cp -r "$cars" "$scratch/a/Cars"
cp -r "$cars" "$scratch/b/Cars"
code=$(printf 'code\nquit\n' | cli --data "$scratch/a/Cars" --seed 21 --level 30 --lang en | tail -n 1)
made=$(printf 'yard\nquit\n' | cli --data "$scratch/a/Cars" --seed 21 --level 30 --lang en | grep '^Line' | head -n 3)
played=$(printf 'yard\nquit\n' | cli --data "$scratch/b/Cars" --seed 5 --lang en --code "$code" 2>&1)
[ "$made" = "$(grep '^Line' <<<"$played" | head -n 3)" ] || fail "a code of one copy in another: $(tail -n 2 <<<"$played")"
[ "$(printf 'code\nquit\n' | cli --data "$scratch/b/Cars" --seed 5 --lang en --code "$code" | tail -n 1)" = "$code" ] ||
  fail "the quiz played names itself another way"
day_a=$(printf 'daily\ncode\nquit\n' | cli --data "$scratch/a/Cars" --seed 3 --lang en | tail -n 1)
day_b=$(printf 'daily\ncode\nquit\n' | cli --data "$scratch/b/Cars" --seed 4 --lang en | tail -n 1)
[ "$day_a" = "$day_b" ] || fail "today's quiz differs between two copies: $day_a $day_b"

# The README's example code plays in this copy.
check
readme_code=$(grep -o '`[0-9A-Z]\{5\}\(-[0-9A-Z]\{5\}\)*-[0-9A-Z]*.`' "$readme" | head -n 1 | tr -d '`')
out=$(printf 'quit\n' | cli --lang en --code "$readme_code" 2>&1) || fail "the README's code $readme_code: $out"

# Today's quiz: the same on two runs with other seeds and levels.
check
day1=$(printf 'daily\ncode\nquit\n' | cli --seed 3 --level 5 --lang en | tail -n 1)
day2=$(printf 'daily\ncode\nquit\n' | cli --seed 8 --level 50 --lang en | tail -n 1)
[[ $day1 =~ ^[0-9A-Z-]+.$ ]] || fail "daily: not a code: $day1"
[ "$day1" = "$day2" ] || fail "daily: two codes for one day: $day1 $day2"

# Bad options are refused with the usage text.
check
cli --level abc >/dev/null 2>&1 && fail "--level abc accepted"
cli --lang fr >/dev/null 2>&1 && fail "--lang fr accepted"
cli --data /nonexistent </dev/null >/dev/null 2>&1 && fail "a missing data folder accepted"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
