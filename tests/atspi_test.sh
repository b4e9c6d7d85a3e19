#!/usr/bin/env bash
# A screen reader's view of the game over the real accessibility bus: a private D-Bus session
# (at-spi2-core starts its bus and registry in it), an X server of its own (Xvfb), the window with
# Qt's accessibility on, and pyatspi on the other end. Skipped, with the reason, where one of them
# cannot start.
#   atspi_test.sh WINDOW_TESTS_BINARY
set -u
tests=$1
script=$(cd "$(dirname "$0")" && pwd)/atspi_play.py
command -v Xvfb >/dev/null || { echo "SKIPPED: Xvfb is not installed"; exit 77; }
command -v dbus-run-session >/dev/null || { echo "SKIPPED: dbus-run-session is not installed"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIPPED: at-spi2-core is not installed"; exit 77; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIPPED: python3-pyatspi is not installed"; exit 77; }
[ -n "$(find /usr/lib -name 'libqxcb.so' -print -quit 2>/dev/null)" ] || { echo "SKIPPED: Qt's X11 platform is missing"; exit 77; }

runtime=$(mktemp -d)
chmod 700 "$runtime"
# A display number nobody holds: Xvfb says which it took.
exec 3>"$runtime/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >"$runtime/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 1 300); do
  [ -s "$runtime/display" ] && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$runtime/display" ]; then
  echo "SKIPPED: Xvfb did not start:"
  tail -n 5 "$runtime/xvfb.log"
  exit 77
fi
display=:$(head -n 1 "$runtime/display")
# The session bus must answer before the game is worth starting.
if ! dbus-run-session -- true 2>"$runtime/dbus.log"; then
  echo "SKIPPED: no D-Bus session could be started:"
  tail -n 5 "$runtime/dbus.log"
  exit 77
fi
# The sanitizer build: what the X and D-Bus libraries keep to the end is theirs.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan-wayland.supp:${LSAN_OPTIONS:-}"
XDG_RUNTIME_DIR=$runtime DISPLAY=$display QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  KELVARA_ATSPI_SCRIPT=$script NO_AT_BRIDGE=0 \
  dbus-run-session -- "$tests" --gtest_filter='AccessTest.DISABLED_AScreenReaderPlaysAGameOverTheBus' \
  --gtest_also_run_disabled_tests
