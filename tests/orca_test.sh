#!/usr/bin/env bash
# A blind player's game with the real screen reader: Orca (with speech-dispatcher and espeak-ng)
# on a private session bus and an X server with a window manager, its debug log kept; the window
# plays a short game by keys in English and in Japanese, and every announcement it made must be
# in what Orca spoke. The sound goes nowhere (ALSA's null device). Skipped, with the reason, where
# one of them cannot start.
#   orca_test.sh WINDOW_TESTS_BINARY
set -u
tests=$1
for tool in orca Xvfb openbox dbus-run-session speech-dispatcher espeak-ng xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIPPED: at-spi2-core is not installed"; exit 77; }
[ -n "$(find /usr/lib -name 'libqxcb.so' -print -quit 2>/dev/null)" ] || { echo "SKIPPED: Qt's X11 platform is missing"; exit 77; }

scratch=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; [ -n "${KELVARA_KEEP:-}" ] || rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/run XDG_CONFIG_HOME=$scratch/home/.config
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/speech-dispatcher"
chmod 700 "$XDG_RUNTIME_DIR"
# Speech to ALSA's null device: a speech module with no sound card to write to keeps Orca waiting.
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
{ cat /etc/speech-dispatcher/speechd.conf; echo 'AudioOutputMethod "alsa"'; } >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"

exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 1 300); do
  [ -s "$scratch/display" ] && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.1
done
[ -s "$scratch/display" ] || { echo "SKIPPED: Xvfb did not start"; exit 77; }
export DISPLAY=:$(head -n 1 "$scratch/display")
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan-wayland.supp:${LSAN_OPTIONS:-}"

cat >"$scratch/session.sh" <<'SESSION'
set -u
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$scratch/atspi.log" 2>&1 &
openbox >"$scratch/openbox.log" 2>&1 &
# The window manager first: a window shown before it is up is never made active.
for _ in $(seq 1 300); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
failures=0
for lang in ${KELVARA_ORCA_LANGS:-en ja}; do
  # The window first, its quiz made; then the screen reader, which speaks the window as it comes
  # to it; then the game by keys. A minute is a ceiling for a very slow machine.
  rm -f "$scratch/ready" "$scratch/go"
  KELVARA_ORCA_SAID=$scratch/said-$lang.txt KELVARA_ORCA_LANG=$lang KELVARA_ORCA_LOG=$scratch/orca-$lang.log \
    KELVARA_ORCA_READY=$scratch/ready KELVARA_ORCA_GO=$scratch/go QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$tests" --gtest_filter='AccessTest.DISABLED_OrcaHearsAGamePlayedByKeys' \
    --gtest_also_run_disabled_tests >"$scratch/game-$lang.log" 2>&1 &
  game=$!
  for _ in $(seq 1 1200); do
    [ -e "$scratch/ready" ] && break
    kill -0 $game 2>/dev/null || break
    sleep 0.1
  done
  orca --debug-file="$scratch/orca-$lang.log" >"$scratch/orca-$lang.out" 2>&1 &
  orca=$!
  for _ in $(seq 1 600); do
    grep -q "SPEECH OUTPUT:" "$scratch/orca-$lang.log" 2>/dev/null && break
    kill -0 $orca 2>/dev/null || break
    sleep 0.1
  done
  if ! grep -q "SPEECH OUTPUT:" "$scratch/orca-$lang.log" 2>/dev/null; then
    kill $game 2>/dev/null
    echo "SKIPPED: Orca did not start: $(tail -n 3 "$scratch/orca-$lang.out")"
    exit 77
  fi
  touch "$scratch/go"
  if ! wait $game; then
    echo "FAIL ($lang): the game by keys did not go through"
    grep -v keyEventError "$scratch/game-$lang.log" | tail -n 30
    failures=$((failures + 1))
  fi
  touch "$scratch/said-$lang.txt"
  # Each announcement is in what Orca spoke; Orca may still be speaking (half a minute at most).
  heard() { grep -a 'SPEECH OUTPUT:' "$scratch/orca-$lang.log" | tr -s ' '; }
  missing=""
  for _ in $(seq 1 30); do
    heard >"$scratch/heard-$lang.txt"
    missing=""
    while IFS= read -r line; do
      [ -z "$line" ] && continue
      grep -qF -- "$(tr -s ' ' <<<"$line")" "$scratch/heard-$lang.txt" || missing+="$line"$'\n'
    done <"$scratch/said-$lang.txt"
    [ -z "$missing" ] && break
    sleep 1
  done
  # Orca busy with a long queue may not heed the first signal.
  kill $orca 2>/dev/null
  for _ in $(seq 1 50); do kill -0 $orca 2>/dev/null || break; sleep 0.1; done
  kill -9 $orca 2>/dev/null
  wait $orca 2>/dev/null
  echo "== Orca spoke ($lang):"
  heard | sed -e "s/^.*SPEECH OUTPUT: //" -e "s/{'established'.*$//"
  if [ -n "$missing" ]; then
    echo "FAIL ($lang): not spoken:"
    printf '%s' "$missing"
    failures=$((failures + 1))
  fi
done
exit $((failures > 0))
SESSION
scratch=$scratch tests=$tests dbus-run-session -- env scratch="$scratch" tests="$tests" bash "$scratch/session.sh"
