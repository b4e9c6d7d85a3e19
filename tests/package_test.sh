#!/usr/bin/env bash
# The Debian package: built by cpack, unpacked with dpkg-deb into a scratch root, and its
# kelvara-cli plays a seeded quiz from there.
#   package_test.sh BUILD_DIR
set -u
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$scratch"/out/kelvara_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no package built"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for wanted in libqt6widgets6 libfluidsynth libc6 fonts-vlgothic; do
  grep -q "$wanted" <<<"$depends" || fail "Depends lacks $wanted: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "not in the games section"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
[ -x "$root/usr/bin/kelvara" ] || fail "no /usr/bin/kelvara in the package"
[ -f "$root/usr/share/applications/org.kelvara.Kelvara.desktop" ] || fail "no desktop entry in the package"
user=$scratch/user
play() {
  HOME=$user XDG_CONFIG_HOME=$user/config XDG_STATE_HOME=$user/state XDG_DATA_HOME=$user/data \
    "$root/usr/bin/kelvara-cli" --seed 5 --level 6 --lang ja "$@"
}
solution=$(printf 'solve\n' | play | tail -n 1)
out=$(printf '%s\n' "$solution" | play)
grep -qx '\*\*\* 編成完成 \*\*\*' <<<"$out" || fail "the packaged kelvara-cli did not complete with '$solution'"

[ "$failures" -eq 0 ] && echo "$(basename "$deb"): Depends: $depends"
exit $((failures > 0))
