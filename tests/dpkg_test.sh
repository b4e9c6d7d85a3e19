#!/usr/bin/env bash
# Installs the built Debian package on this machine with dpkg, plays a quiz with the installed
# kelvara-cli, removes the package, and checks that nothing it installed is left behind.
# It changes the machine, so it runs only when asked: KELVARA_DPKG_TEST=1, as root, and only
# where no kelvara package is installed already.
#   dpkg_test.sh BUILD_DIR
set -u
build=$1
[ "${KELVARA_DPKG_TEST:-0}" = 1 ] || { echo "SKIPPED: installs on this machine; set KELVARA_DPKG_TEST=1 to run it"; exit 77; }
[ "$(id -u)" -eq 0 ] || { echo "SKIPPED: dpkg -i needs root"; exit 77; }
if dpkg-query -W -f='${Status}' kelvara 2>/dev/null | grep -q 'install ok installed'; then
  echo "SKIPPED: a kelvara package is installed already; it is left alone"
  exit 77
fi
. "$(dirname "$0")/package_lib.sh"
build_package "$build"
dpkg -i "$deb" >"$scratch/install.log" 2>&1 || { cat "$scratch/install.log"; echo "FAIL: dpkg -i"; exit 1; }
dpkg -L kelvara >"$scratch/files"
[ -x /usr/games/kelvara ] || fail "no /usr/games/kelvara after dpkg -i"
user=$scratch/user
play() {
  env -i PATH=/usr/bin:/bin:/usr/games HOME=$user "$@"
}
solution=$(printf 'solve\n' | play kelvara-cli --seed 5 --level 6 --lang en | tail -n 1)
out=$(printf '%s\n' "$solution" | play kelvara-cli --seed 5 --level 6 --lang en)
grep -q 'Complete' <<<"$out" || fail "the installed kelvara-cli (found on PATH in /usr/games) did not complete"
[ -f "$user/.config/kelvara/kelvara-cli.ini" ] || [ -d "$user/.config/kelvara" ] || fail "no settings in the user's folder"

dpkg -r kelvara >"$scratch/remove.log" 2>&1 || { cat "$scratch/remove.log"; fail "dpkg -r"; }
left=0
while read -r path; do
  # Folders other packages share (/usr/games, /usr/share/icons/...) stay; files of ours may not.
  if [ -e "$path" ] && [ ! -d "$path" ]; then
    echo "left behind: $path"
    left=$((left + 1))
  fi
done <"$scratch/files"
for folder in /usr/share/kelvara /usr/share/doc/kelvara; do
  [ ! -e "$folder" ] || fail "$folder is still there"
done
[ "$left" -eq 0 ] || fail "$left files left behind after dpkg -r"
[ "$failures" -eq 0 ] && echo "installed $(wc -l <"$scratch/files") paths, played, removed: nothing left outside $user"
exit $((failures > 0))
