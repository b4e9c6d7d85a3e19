# Sourced by the package tests: a scratch folder, a failure count, and the package built into it.
#   build_package BUILD_DIR   sets $deb, or exits the test with the reason
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

build_package() {
  (cd "$scratch" && cpack --config "$1/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; echo "FAIL: cpack"; exit 1; }
  deb=$(ls "$scratch"/out/kelvara_*.deb 2>/dev/null | head -n 1)
  [ -n "$deb" ] || { echo "FAIL: no package built"; exit 1; }
}
