#!/usr/bin/env bash
# Builds the Debian package from a built tree, lists it and checks what a user
# gets from it: the program starts from an unpacked copy, the three engine
# libraries, the receiver's udev rule and a valid menu entry are there, and no
# development file is.
#   bash scripts/check-package.sh [build-dir]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
deb=$(find "$work/out" -maxdepth 1 -name 'pelvaro_*.deb' | head -n 1)
[ -n "$deb" ] || { echo "no package was made"; cat "$work/cpack.log"; exit 1; }

echo "-- $(basename "$deb")"
dpkg-deb -f "$deb" Package Version Depends
dpkg-deb -c "$deb"

fail() { echo "package check failed: $*"; exit 1; }

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/pelvaro \
            ./usr/lib/libKinemora-core.so.3 ./usr/lib/libKinemora-bundle.so.3 ./usr/lib/libKinemora-ext.so.3 \
            ./usr/lib/udev/rules.d/70-pelvaro.rules \
            ./usr/share/applications/pelvaro.desktop \
            ./usr/share/icons/hicolor/256x256/apps/pelvaro.png; do
  grep -qxF "$path" <<<"$contents" || fail "$path missing"
done
if grep -qE '^\./usr/include/|\.pc$|/cmake/|\.so$' <<<"$contents"; then
  fail "development files in the package"
fi
if dpkg-deb -f "$deb" Depends | grep -qi kinemora; then
  fail "depends on the engine libraries it carries itself"
fi

dpkg -x "$deb" "$work/root"
cmp "$work/root/usr/lib/udev/rules.d/70-pelvaro.rules" "$build/app/packaging/70-pelvaro.rules" \
  || fail "the packaged udev rule is not the generated one"
grep -q 'TAG+="uaccess"' "$work/root/usr/lib/udev/rules.d/70-pelvaro.rules" || fail "udev rule without uaccess"
desktop-file-validate "$work/root/usr/share/applications/pelvaro.desktop"

version=$(env -u LD_LIBRARY_PATH "$work/root/usr/bin/pelvaro" --version)
echo "-- unpacked program: $version"
[[ "$version" == "Pelvaro "* ]] || fail "pelvaro --version printed \"$version\""
echo "-- package checks passed"
