#!/usr/bin/env bash
# The window on a real Wayland compositor: Debian's weston with its headless backend (no screen
# needed), the game through qt6-wayland. Skipped, with the reason, where weston cannot start.
#   wayland_test.sh WINDOW_TESTS_BINARY
set -u
tests=$1
command -v weston >/dev/null || { echo "SKIPPED: weston is not installed"; exit 77; }
[ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so ] ||
  [ -n "$(find /usr/lib -name 'libqwayland-generic.so' -print -quit 2>/dev/null)" ] ||
  { echo "SKIPPED: qt6-wayland is not installed"; exit 77; }
runtime=$(mktemp -d)
chmod 700 "$runtime"
socket=kelvara-test-$$
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
  --width=1920 --height=1080 >"$runtime/weston.log" 2>&1 &
weston=$!
trap 'kill $weston 2>/dev/null; wait $weston 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 1 300); do
  [ -S "$runtime/$socket" ] && break
  kill -0 $weston 2>/dev/null || break
  sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
  echo "SKIPPED: weston did not start:"
  tail -n 5 "$runtime/weston.log"
  exit 77
fi
# In the sanitizer build, what the Wayland libraries keep to the end is theirs, not a leak of ours.
# Mesa's drivers are unwound the slow way, or their frames would not be seen.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan-wayland.supp:${LSAN_OPTIONS:-}"
export ASAN_OPTIONS="fast_unwind_on_malloc=0:${ASAN_OPTIONS:-}"
XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland \
  "$tests" --gtest_filter='WaylandTest.*' --gtest_also_run_disabled_tests
