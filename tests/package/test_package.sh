#!/usr/bin/env bash
# Builds the Debian package of a build folder into a temporary folder, unpacks
# it and checks what a user gets: the programs under /usr/bin (the tool answers
# --version without a display), the menu entry and its icons, the documents,
# the dependencies, and no error from lintian (its warnings are printed).
#
#   test_package.sh CPACK BUILD-DIR VERSION
set -uo pipefail
cpack=$1
build=$2
version=$3
pkg=kolven-assistant

work=$(mktemp -d "${TMPDIR:-/tmp}/kv-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi
deb=$(ls "$work/out/${pkg}_${version}_"*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
  ls "$work/out"
  echo "FAIL: no ${pkg}_${version}_*.deb"
  exit 1
fi
echo "Package: $(basename "$deb")"
dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x"
root=$work/root

# Files.
for f in usr/bin/$pkg usr/bin/drive-sim; do
  [ -f "$root/$f" ] && [ -x "$root/$f" ] || fail "$f is missing or not executable"
done
for f in usr/share/applications/$pkg.desktop \
         usr/share/icons/hicolor/scalable/apps/$pkg.svg \
         usr/share/doc/$pkg/README.md usr/share/doc/$pkg/copyright usr/share/doc/$pkg/changelog.gz \
         usr/share/man/man1/$pkg.1.gz usr/share/man/man1/drive-sim.1.gz; do
  [ -s "$root/$f" ] || fail "$f is missing"
done
for size in 16 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$pkg.png
  got=$(identify -format '%wx%h' "$png" 2>/dev/null)
  [ "$got" = "${size}x${size}" ] || fail "icon ${size}x${size}: '${got}'"
done
desktop=$root/usr/share/applications/$pkg.desktop
for key in 'Name=' 'Name\[zh_CN\]=' 'Comment=' 'Comment\[zh_CN\]=' "Exec=$pkg\$" "Icon=$pkg\$" 'Categories='; do
  grep -q "^$key" "$desktop" || fail "the menu entry has no ${key}"
done
desktop-file-validate "$desktop" || fail "desktop-file-validate"

# Control fields: runtime libraries only, the dialout note.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6serialport6 libmodbus5 qt6-qpa-plugins; do
  [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib"
done
[[ "$depends" != *-dev* ]] || fail "Depends names a development package"
[[ "$(dpkg-deb -f "$deb" Description)" == *dialout* ]] || fail "the description does not mention dialout"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is not $version"

# The packaged programs, run headless: --version answers without a window.
got=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen timeout 30 "$root/usr/bin/$pkg" --version)
[ "$got" = "$pkg $version" ] || fail "$pkg --version said '$got'"
timeout 30 "$root/usr/bin/drive-sim" --help >/dev/null || fail "drive-sim --help"

# lintian: errors fail, the rest is shown.
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1
status=$?
echo "lintian:"
sed 's/^/  /' "$work/lintian.txt"
[ $status -eq 0 ] || fail "lintian reports errors"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "All package checks passed"
