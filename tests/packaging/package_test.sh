#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what lands there with
# the desktop's own validators, then builds the Debian package and reads its
# control data. Usage: package_test.sh BUILD_DIR VERSION APP_ID RELEASE_DATE
set -euo pipefail

build=$1
version=$2
app_id=$3
release_date=$4
work=$(mktemp -d /tmp/tobrel-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$work/usr" >/dev/null

# Set once, in CMake: the README never repeats them, so it cannot go stale.
readme=$(dirname "${BASH_SOURCE[0]}")/../../README.md
for value in "$version" "$app_id" "$release_date"; do
  grep -qwF -- "$value" "$readme" && fail "the README repeats $value, which CMake sets"
done

sizes="16 24 32 48 64 128 256"
expected=$( (printf '%s\n' usr/bin/tobrel "usr/share/applications/$app_id.desktop" \
  usr/share/doc/tobrel/copyright usr/share/icons/hicolor/scalable/apps/tobrel.svg \
  "usr/share/metainfo/$app_id.metainfo.xml"
  for px in $sizes; do echo "usr/share/icons/hicolor/${px}x$px/apps/tobrel.png"; done) | sort)
installed=$(cd "$work" && find . -type f -o -type l | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed files differ:"$'\n'"$installed"

desktop=$work/usr/share/applications/$app_id.desktop
metainfo=$work/usr/share/metainfo/$app_id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop entry"
appstreamcli validate --no-net "$metainfo" || fail "metainfo"
grep -qx 'Comment\[fr\]=Copie les noms de tous les fichiers d.un dossier' "$desktop" ||
  fail "French comment"
grep -q "<id>$app_id</id>" "$metainfo" || fail "id $app_id in the metainfo"
grep -q "<release version=\"$version\" date=\"$release_date\"/>" "$metainfo" ||
  fail "release $version of $release_date in the metainfo"

# Each PNG is the size its folder says, and a PNG a reader can decode: its
# header gives width and height at bytes 16 to 23, and file(1) reads it.
for px in $sizes; do
  png=$work/usr/share/icons/hicolor/${px}x$px/apps/tobrel.png
  size=$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ')
  want=$(printf ' 0 0 %d %d 0 0 %d %d' $((px / 256)) $((px % 256)) $((px / 256)) $((px % 256)))
  [ "$size" = "$want" ] || fail "icon $px: size$size"
  file -b "$png" | grep -q "PNG image data, $px x $px, 8-bit/color RGBA" || fail "icon $px: $(file -b "$png")"
  python3 - "$png" "$px" <<'DECODE' || fail "icon $px does not decode"
import struct, sys, zlib
data, px = open(sys.argv[1], "rb").read(), int(sys.argv[2])
at, idat = 8, b""
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    body = data[at + 8:at + 8 + length]
    assert struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0] == zlib.crc32(kind + body)
    idat += body if kind == b"IDAT" else b""
    at += 12 + length
raw = zlib.decompress(idat)
assert len(raw) == px * (1 + 4 * px)
assert any(raw[y * (1 + 4 * px) + 4 + 4 * x] for y in range(px) for x in range(px))  # Drawn.
DECODE
done
grep -q '^Files: \*' "$work/usr/share/doc/tobrel/copyright" || fail "copyright file"
grep -q 'viewBox="0 0 32 32"' "$work/usr/share/icons/hicolor/scalable/apps/tobrel.svg" ||
  fail "scalable icon"

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null 2>&1) || fail "cpack"
deb=$(ls "$work"/package/tobrel_"$version"_*.deb 2>/dev/null | head -1)
if [ -z "$deb" ]; then
  fail "no tobrel_${version}_*.deb"
else
  info=$(dpkg-deb --info "$deb")
  echo "$info" | grep -qx " Version: $version" || fail "package version"
  for dependency in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins qt6-wayland; do
    echo "$info" | grep '^ Depends:' | grep -q "$dependency" || fail "depends on $dependency"
  done
  contents=$(dpkg-deb --contents "$deb")
  echo "$contents" | grep -q '\./usr/bin/tobrel$' || fail "package holds the binary"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures packaging checks failed"
  exit 1
fi
