#!/usr/bin/env bash
# Scripted play through kelvara-cli: the same options make the same quiz, and a string that
# solves it reaches the completion announcement.
set -u
cli=$1
cars=$2
failures=0
checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { checks=$((checks + 1)); }

for seed in 1 2 3 4 5 6; do
  args=(--seed "$seed" --level 7 --lang en)
  check
  first=$(printf 'yard\n' | "$cli" "${args[@]}")
  again=$(printf 'yard\n' | "$cli" "${args[@]}")
  [ "$first" = "$again" ] || fail "seed $seed: two runs made different quizzes"

  solution=$(printf 'solve\n' | "$cli" "${args[@]}" | tail -n 1)
  out=$(printf '%s\n' "$solution" | "$cli" "${args[@]}")
  grep -qx '\*\*\* Complete \*\*\*' <<<"$out" || fail "seed $seed: '$solution' did not complete"
  grep -q '^AddTrain in 0 to 1$' <<<"$out" || fail "seed $seed: no move lines"
  grep -q '^Line 2:' <<<"$out" || fail "seed $seed: no yard dump"
done

# A chosen locomotive set and train, in Japanese.
check
out=$(printf 'solve\n' | "$cli" --seed 9 --loco 3 --train "$cars/branch_short.trd" --lang ja)
solution=$(tail -n 1 <<<"$out")
grep -q '支線の短い列車' <<<"$out" || fail "the chosen train is not announced"
out=$(printf '%s\n' "$solution" | "$cli" --seed 9 --loco 3 --train "$cars/branch_short.trd" --lang ja)
grep -qx '\*\*\* 編成完成 \*\*\*' <<<"$out" || fail "no Japanese completion"

# Pushing into the stopper derails the train and says so.
check
out=$(printf 'P40\n' | "$cli" --seed 2 --lang en)
grep -q 'Destroy car stopper!' <<<"$out" || fail "no derailment"
grep -q 'This train service will be suspended.' <<<"$out" || fail "no closing derailment message"

# The terminal refuses what the window would: Front while the locomotive stands on the head shunt,
# Redo with nothing taken back, Hint once the game is over; and lets through what it offers.
check
out=$(printf 'front 2\nredo\nback\nfront 1\nundo\nredo\nP40\nhint\nundo\n' | "$cli" --seed 5 --lang en)
[ "$(grep -c 'is not available now' <<<"$out")" -eq 4 ] || fail "the gate: $(grep 'not available' <<<"$out" | tr '\n' ' ')"
grep -q '^(front is not available now)$' <<<"$out" || fail "front offered with the locomotive on the head shunt"
grep -q '^(hint is not available now)$' <<<"$out" || fail "a hint offered after the derailment"
grep -q '^CutTrain In ' <<<"$out" || fail "front 1 after back did not pull"
grep -q '^Redo : ' <<<"$out" || fail "redo after undo was refused"

# Train data whose bitmap headers give extreme sizes loads and plays to the end; a sanitizer build
# of the program stops at the first overflow.
check
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
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
solution=$(printf 'solve\n' | "$cli" --data "$data" --seed 3 --lang en 2>&1 | tail -n 1)
out=$(printf '%s\n' "$solution" | "$cli" --data "$data" --seed 3 --lang en 2>&1)
grep -qx '\*\*\* Complete \*\*\*' <<<"$out" || fail "extreme headers: '$solution' did not complete"
grep -q 'runtime error' <<<"$out" && fail "extreme headers: undefined behaviour"

# Bad options are refused with the usage text.
check
"$cli" --level abc >/dev/null 2>&1 && fail "--level abc accepted"
"$cli" --lang fr >/dev/null 2>&1 && fail "--lang fr accepted"
"$cli" --data /nonexistent </dev/null >/dev/null 2>&1 && fail "a missing data folder accepted"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
