#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libfluidsynth-dev timgm6mb-soundfont fonts-vlgothic
  clang libclang-rt-dev
  desktop-file-utils appstream dpkg-dev file groff-base
  qt6-translations-l10n lintian weston qt6-wayland
  libsqlite3-dev
  at-spi2-core python3-pyatspi dbus xvfb xauth
  orca speech-dispatcher espeak-ng faketime openbox xdotool imagemagick x11-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
