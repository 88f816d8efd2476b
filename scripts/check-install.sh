#!/usr/bin/env bash
# check-install.sh BUILDDIR: installs into a temporary DESTDIR, checks every
# installed file, validates the desktop entry and the AppStream metadata,
# builds the Debian package and lists its dependencies.
set -euo pipefail
build=$(cd "$1" && pwd)
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
id=io.github.aurigon.Aurigon
expected=(
  usr/bin/aurigon
  usr/share/applications/$id.desktop
  usr/share/metainfo/$id.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/man/man1/aurigon.1.gz
  usr/share/doc/aurigon/fonts/LICENSE-DejaVu.txt
  usr/share/doc/aurigon/fonts/LICENSE-Liberation.txt
)
for s in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${s}x${s}/apps/$id.png")
done
for f in "${expected[@]}"; do
  [ -s "$dest/$f" ] || { echo "install: missing $f"; exit 1; }
done
extra=$(cd "$dest" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$extra" ] || { echo "install: unexpected files:"; echo "$extra"; exit 1; }
python3 - "$dest" "$id" <<'PY'
import struct, sys
dest, app = sys.argv[1], sys.argv[2]
for s in (16, 22, 24, 32, 48, 64, 128, 256):
    with open(f"{dest}/usr/share/icons/hicolor/{s}x{s}/apps/{app}.png", "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", s
    assert struct.unpack(">II", head[16:24]) == (s, s), (s, head[16:24])
PY
gzip -t "$dest/usr/share/man/man1/aurigon.1.gz"
"$dest/usr/bin/aurigon" --version | grep -q '^aurigon ' || { echo "install: --version"; exit 1; }
"$dest/usr/bin/aurigon" --help | grep -q -- '--script' || { echo "install: --help"; exit 1; }
desktop-file-validate "$dest/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$dest/usr/share/metainfo/$id.metainfo.xml" >/dev/null
echo "install: ${#expected[@]} files in place; desktop entry and metainfo valid"

(cd "$build" && rm -f aurigon_*.deb && cpack -G DEB >/dev/null 2>&1)
deb=$(ls "$build"/aurigon_*.deb)
dpkg-deb --info "$deb" >/dev/null
contents=$(dpkg-deb --contents "$deb")
for f in "${expected[@]}"; do
  grep -q " \./$f\$" <<<"$contents" || { echo "package: missing $f"; exit 1; }
done
depends=$(dpkg-deb --field "$deb" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 libqt6svg6 qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" || { echo "package: Depends lacks $lib"; exit 1; }
done
echo "package: $(basename "$deb"), section $(dpkg-deb --field "$deb" Section)"
echo "package depends: $depends"
