#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks what it holds and depends on:
#   scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B package >/dev/null)
deb="$(ls "$build"/package/kavelo_*.deb)"
echo "package: $deb"
contents="$(dpkg -c "$deb")"
for path in ./usr/bin/kavelo ./usr/bin/kavelo-render ./usr/share/applications/kavelo.desktop \
    ./usr/share/icons/hicolor/32x32/apps/kavelo.png ./usr/share/icons/hicolor/16x16/apps/kavelo.png; do
    grep -q " $path\$" <<<"$contents" || { echo "missing from the package: $path" >&2; exit 1; }
done
depends="$(dpkg -I "$deb" | sed -n 's/^ Depends: //p')"
echo "depends: $depends"
for lib in libqt6widgets6 libqt6openglwidgets6 libglu1-mesa libegl1 libc6 \
    libgl1-mesa-dri libegl-mesa0; do
    grep -q "$lib" <<<"$depends" || { echo "the package does not depend on $lib" >&2; exit 1; }
done
tmp="$(mktemp -d)"
dpkg -x "$deb" "$tmp"
desktop-file-validate "$tmp/usr/share/applications/kavelo.desktop"
file "$tmp/usr/share/icons/hicolor/32x32/apps/kavelo.png" | grep -q "32 x 32"
rm -rf "$tmp"
echo "package checked"
