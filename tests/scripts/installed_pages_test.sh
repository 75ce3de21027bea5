#!/usr/bin/env bash
# The pages as installed: the README's links resolve beside it and it asks for no source tree;
# the manual page tells of the mouse, the status bar and standard error; the AppStream file
# passes the pedantic check with no address that points nowhere.
#   installed_pages_test.sh BUILD_DIR
set -euo pipefail
build="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "installed pages: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$tmp" >/dev/null
doc="$tmp/share/doc/kavelo"
links="$(grep -o '](\([^)#]*\)' "$doc/README.md" | sed 's/^](//')"
[ -n "$links" ] || fail "the README links nothing"
while read -r link; do
    [ -e "$doc/$link" ] || fail "the README links $link, which is not installed beside it"
done <<<"$links"
if grep -n 'scripts/\|\.ci/\|cmake -S' "$doc/README.md"; then
    fail "the installed README asks for the source tree"
fi

page="$(MANWIDTH=80 man -l "$tmp/share/man/man1/kavelo.1.gz" 2>/dev/null)"
for words in "left drag" "right drag" "STATUS BAR" "STANDARD ERROR"; do
    grep -q "$words" <<<"$page" || fail "man kavelo says nothing of \"$words\""
done

metainfo="$tmp/share/metainfo/org.example.kavelo.metainfo.xml"
if grep -n 'https\?://' "$metainfo"; then
    fail "the AppStream file carries an address"
fi
appstreamcli validate --pedantic --no-net "$metainfo" >/dev/null || fail "appstreamcli: see above"
echo "installed pages: ok"
