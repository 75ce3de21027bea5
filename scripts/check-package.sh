#!/usr/bin/env bash
# Builds the Debian package in a build tree of its own with the distribution's build flags, and
# checks it: what it holds and depends on, lintian (no error, no warning), the desktop entry, the
# AppStream file, the manual pages and the hardening of both programs.
#   scripts/check-package.sh [BUILD_DIR]      build-package by default
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-package}"

# Debian's flags with every hardening feature: fortify, stack protector, format checks, relro and
# now; the compiler makes PIE by default. Build type None: these flags alone, as Debian builds.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
bash scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=None -DKAVELO_TESTS=OFF -DKAVELO_BENCH=OFF \
    -DKAVELO_HARDEN=ON -DCMAKE_C_FLAGS="$CPPFLAGS $CFLAGS" -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" \
    -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B package >/dev/null)
deb="$(ls "$build"/package/kavelo_*.deb)"
echo "package: $deb"

fail() {
    echo "check-package: $*" >&2
    exit 1
}

contents="$(dpkg -c "$deb")"
icons=./usr/share/icons/hicolor
doc=./usr/share/doc/kavelo
for path in ./usr/bin/kavelo ./usr/bin/kavelo-render ./usr/share/applications/kavelo.desktop \
    ./usr/share/metainfo/org.example.kavelo.metainfo.xml $icons/scalable/apps/kavelo.svg \
    ./usr/share/man/man1/kavelo.1.gz ./usr/share/man/man1/kavelo-render.1.gz \
    ./usr/share/bash-completion/completions/kavelo-render \
    $doc/copyright $doc/changelog.gz $doc/README.md $doc/scene-format.md $doc/examples/input.txt \
    $doc/screenshot.png $doc/teapot.png $doc/weights.png; do
    grep -q " $path\$" <<<"$contents" || fail "missing from the package: $path"
done
depends="$(dpkg -I "$deb" | sed -n 's/^ Depends: //p')"
echo "depends: $depends"
for lib in libqt6widgets6 libqt6openglwidgets6 libglu1-mesa libegl1 libc6 \
    libgl1-mesa-dri libegl-mesa0; do
    grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib"
done

lintian --fail-on error,warning --display-level ">=info" "$deb" || fail "lintian: see above"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
dpkg -x "$deb" "$tmp"
desktop-file-validate "$tmp/usr/share/applications/kavelo.desktop"
appstreamcli validate --pedantic --no-net "$tmp/usr/share/metainfo/org.example.kavelo.metainfo.xml"
for size in 16 32 48 64 128 256; do
    file "$tmp/$icons/${size}x${size}/apps/kavelo.png" | grep -q "$size x $size" ||
        fail "the ${size}x$size icon is not $size pixels square"
done
for page in kavelo kavelo-render; do
    MANWIDTH=80 man -l "$tmp/usr/share/man/man1/$page.1.gz" 2>&1 | grep -q "^NAME" ||
        fail "man $page shows no page"
done

# Hardening: the compiler's part in the flags of every file (a function with nothing to protect
# leaves no trace in the program), the linker's in the programs themselves.
for flag in -D_FORTIFY_SOURCE=2 -fstack-protector-strong; do
    total="$(grep -c '"command"' "$build/compile_commands.json")"
    with="$(grep '"command"' "$build/compile_commands.json" | grep -c -- "$flag")" || true
    [ "$with" -eq "$total" ] || fail "$((total - with)) of $total files built without $flag"
done
for program in kavelo kavelo-render; do
    elf="$tmp/usr/bin/$program"
    readelf -h "$elf" | grep -q 'Type:.*DYN' || fail "$program is not PIE"
    readelf -l "$elf" | grep -q GNU_RELRO || fail "$program has no relro"
    readelf -d "$elf" | grep -q 'BIND_NOW\|FLAGS.*NOW' || fail "$program is not bound now"
done
echo "package checked"
