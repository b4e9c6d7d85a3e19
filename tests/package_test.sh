#!/usr/bin/env bash
# The Debian package: built by cpack, unpacked with dpkg-deb into a scratch root, and its
# kelvara-cli plays a seeded quiz from there.
#   package_test.sh BUILD_DIR
set -u
build=$1
. "$(dirname "$0")/package_lib.sh"
build_package "$build"

depends=$(dpkg-deb -f "$deb" Depends)
for wanted in libqt6widgets6 libfluidsynth libsqlite3 libc6 fonts-vlgothic; do
  grep -q "$wanted" <<<"$depends" || fail "Depends lacks $wanted: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "not in the games section"

# Debian's own checker: no error and no warning (its informational tags are printed).
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --display-info "$deb" >"$scratch/lintian.log" 2>&1 || { cat "$scratch/lintian.log"; fail "lintian"; }
  grep -E '^[EWI]: ' "$scratch/lintian.log" | sed 's/^/lintian: /'
else
  fail "lintian is not installed (scripts/setup.sh installs it)"
fi

root=$scratch/root
dpkg-deb -x "$deb" "$root"
for program in kelvara kelvara-cli; do
  [ -x "$root/usr/games/$program" ] || fail "no /usr/games/$program in the package"
done
[ ! -e "$root/usr/bin" ] || fail "the package still has /usr/bin"
[ -f "$root/usr/share/doc/kelvara/copyright" ] || fail "no copyright file"
gzip -t "$root/usr/share/doc/kelvara/changelog.gz" || fail "no changelog.gz"
[ -f "$root/usr/share/applications/org.kelvara.kelvara.desktop" ] || fail "no desktop entry in the package"
user=$scratch/user
play() {
  HOME=$user XDG_CONFIG_HOME=$user/config XDG_STATE_HOME=$user/state XDG_DATA_HOME=$user/data \
    "$root/usr/games/kelvara-cli" --seed 5 --level 6 --lang ja "$@"
}
solution=$(printf 'solve\n' | play | tail -n 1)
out=$(printf '%s\n' "$solution" | play)
grep -qx '\*\*\* 編成完成 \*\*\*' <<<"$out" || fail "the packaged kelvara-cli did not complete with '$solution'"

[ "$failures" -eq 0 ] && echo "$(basename "$deb"): Depends: $depends"
exit $((failures > 0))
