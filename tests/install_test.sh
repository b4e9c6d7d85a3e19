#!/usr/bin/env bash
# The installed game: `cmake --install` into a scratch prefix, then the prefix made read-only and
# the installed kelvara-cli run with HOME and the XDG folders pointed at scratch folders. A seeded
# quiz is solved, the settings file and the log turn up in the user's folders, and nothing under
# the prefix changes. The shipped desktop entry and AppStream data pass their validators.
#   install_test.sh BUILD_DIR
set -u
build=$1
scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
for f in bin/kelvara bin/kelvara-cli share/kelvara/Cars/loco.lst share/kelvara/help/index.htm \
         share/applications/org.kelvara.kelvara.desktop share/metainfo/org.kelvara.kelvara.metainfo.xml \
         share/icons/hicolor/16x16/apps/kelvara.png share/icons/hicolor/256x256/apps/kelvara.png \
         share/man/man6/kelvara.6.gz share/man/man6/kelvara-cli.6.gz; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
for size in 16 22 24 32 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/kelvara.png" | grep -q "$size x $size" ||
    fail "the ${size}px icon is not $size pixels"
done

chmod -R a-w "$prefix"
before=$(find "$prefix" -printf '%p %s %T@ %m\n' | sort)

user=$scratch/user
mkdir -p "$user/home" "$user/run"
play() {
  HOME=$user/home XDG_CONFIG_HOME=$user/config XDG_STATE_HOME=$user/state XDG_DATA_HOME=$user/data \
    XDG_RUNTIME_DIR=$user/run "$prefix/bin/kelvara-cli" --seed 11 --level 8 --lang en "$@"
}
(cd "$scratch" && {
  solution=$(printf 'solve\n' | play | tail -n 1)
  out=$(printf '%s\n' "$solution" | play)
  grep -qx '\*\*\* Complete \*\*\*' <<<"$out" || fail "the installed kelvara-cli did not complete with '$solution'"
})
# The installed game and the build's portable copy name the same quiz the same way.
(cd "$scratch" && {
  installed=$(printf 'daily\ncode\nquit\n' | play | tail -n 1)
  portable=$(printf 'daily\ncode\nquit\n' | "$build/kelvara-cli" --records "$scratch/user/portable.sqlite" --data "$build/Cars" --lang en | tail -n 1)
  [ "$installed" = "$portable" ] || fail "today's quiz: installed $installed, portable $portable"
})
[ -f "$user/config/kelvara/kelvara-cli.ini" ] || fail "no settings file in the configuration folder"
grep -q "^TRD_Folder=$user/data/kelvara/Cars" "$user/config/kelvara/kelvara-cli.ini" ||
  fail "the train folder is not the user's own"
[ -f "$user/state/kelvara/kelvara-cli.log" ] || fail "no log in the state folder"
grep -q "^$prefix/share/kelvara/Cars/loco.lst" "$user/state/kelvara/kelvara-cli.log" ||
  fail "the log does not name the installed locomotive list"
after=$(find "$prefix" -printf '%p %s %T@ %m\n' | sort)
[ "$before" = "$after" ] || fail "the prefix changed: $(diff <(echo "$before") <(echo "$after") | head -5)"
[ -z "$(ls -A "$scratch" | grep -v -x -e prefix -e user)" ] || fail "files written into the working folder"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/org.kelvara.kelvara.desktop" || fail "desktop-file-validate"
else
  fail "desktop-file-validate is not installed (scripts/setup.sh installs desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
  # Pedantic: even its hints (P:) count.
  said=$(appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/org.kelvara.kelvara.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate: $said"
  # AppStream before 1.0 (Debian 12 has 0.16) does not know <developer id=...>, which replaced
  # <developer_name>: its "unknown tag" for it alone is let through.
  version=$(appstreamcli --version | sed -n 's/^AppStream version: \([0-9]*\)\..*/\1/p')
  if [ "${version:-1}" -lt 1 ]; then said=$(grep -v 'unknown-tag developer$' <<<"$said"); fi
  grep -qE '^[EWIP]: ' <<<"$said" && fail "appstreamcli validate --pedantic: $said"
else
  fail "appstreamcli is not installed (scripts/setup.sh installs appstream)"
fi
for page in kelvara kelvara-cli; do
  warnings=$(zcat "$prefix/share/man/man6/$page.6.gz" | groff -man -Tutf8 -ww 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page.6: $warnings"
done

[ "$failures" -eq 0 ] && echo "installed, played from a read-only prefix, files in the user's folders"
exit $((failures > 0))
