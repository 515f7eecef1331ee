#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what lands there with
# the desktop's own validators, then builds the Debian package and reads its
# control data. Usage: package_test.sh BUILD_DIR
set -euo pipefail

build=$1
work=$(mktemp -d /tmp/tobrel-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$work/usr" >/dev/null

expected="usr/bin/tobrel
usr/share/applications/example.tobrel.Tobrel.desktop
usr/share/icons/hicolor/32x32/apps/tobrel.png
usr/share/icons/hicolor/scalable/apps/tobrel.svg
usr/share/metainfo/example.tobrel.Tobrel.metainfo.xml"
installed=$(cd "$work" && find . -type f -o -type l | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed files differ:"$'\n'"$installed"

desktop-file-validate "$work/usr/share/applications/example.tobrel.Tobrel.desktop" ||
  fail "desktop entry"
appstreamcli validate --no-net "$work/usr/share/metainfo/example.tobrel.Tobrel.metainfo.xml" ||
  fail "metainfo"
grep -qx 'Comment\[fr\]=Copie les noms de tous les fichiers d.un dossier' \
  "$work/usr/share/applications/example.tobrel.Tobrel.desktop" || fail "French comment"
grep -q '<release version="0.04"' "$work/usr/share/metainfo/example.tobrel.Tobrel.metainfo.xml" ||
  fail "release 0.04 in the metainfo"

# The PNG's header gives its size: width and height at bytes 16 to 23.
size=$(od -An -tu1 -j16 -N8 "$work/usr/share/icons/hicolor/32x32/apps/tobrel.png" | tr -s ' ')
[ "$size" = " 0 0 0 32 0 0 0 32" ] || fail "icon size:$size"
grep -q 'viewBox="0 0 32 32"' "$work/usr/share/icons/hicolor/scalable/apps/tobrel.svg" ||
  fail "scalable icon"

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null 2>&1) || fail "cpack"
deb=$(ls "$work"/package/tobrel_0.04_*.deb 2>/dev/null | head -1)
if [ -z "$deb" ]; then
  fail "no tobrel_0.04_*.deb"
else
  info=$(dpkg-deb --info "$deb")
  echo "$info" | grep -q '^ Version: 0.04$' || fail "package version"
  for dependency in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
    echo "$info" | grep '^ Depends:' | grep -q "$dependency" || fail "depends on $dependency"
  done
  contents=$(dpkg-deb --contents "$deb")
  echo "$contents" | grep -q '\./usr/bin/tobrel$' || fail "package holds the binary"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures packaging checks failed"
  exit 1
fi
