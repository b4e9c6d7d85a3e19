#!/usr/bin/env bash
# SIGTERM, SIGINT or SIGHUP at any moment of the window's start-up (a desktop session that ends just
# after login) ends the program: it neither carries on to show its window nor waits for a second
# signal. The game runs offscreen as a portable copy in a scratch folder.
#   startup_signal_test.sh BUILD_DIR
set -u
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cp "$build/kelvara" "$scratch/kelvara"
ln -s "$build/Cars" "$scratch/Cars"
ln -s "$build/help" "$scratch/help"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$scratch
# A minute is a ceiling for a run that hangs, not a measure: a start-up takes some seconds.
ends_within() {
  for _ in $(seq 1 600); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}
for run in TERM:0.3 TERM:1 TERM:2.5 TERM:4 TERM:5.5 INT:1.5 HUP:3; do
  signal=${run%:*} delay=${run#*:}
  {
    rm -f "$scratch/kelvara.log"
    "$scratch/kelvara" nss >"$scratch/out" 2>&1 &
    pid=$!
    sleep "$delay"
    kill -"$signal" "$pid"
    if ends_within "$pid"; then
      wait "$pid"
    else
      fail "SIG$signal after ${delay}s: still running a minute later ($(tail -n 1 "$scratch/kelvara.log" 2>/dev/null))"
      kill -KILL "$pid"
    fi
    grep -q 'Wake up complete' "$scratch/kelvara.log" 2>/dev/null &&
      ! grep -q 'Into Form_Unload' "$scratch/kelvara.log" && fail "SIG$signal after ${delay}s: started up and stayed"
  }
done
[ "$failures" -eq 0 ] && echo "every signal during start-up ended the program"
exit $((failures > 0))
