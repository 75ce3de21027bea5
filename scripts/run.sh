#!/usr/bin/env bash
# Builds Kavelo and runs it on a scene: scripts/run.sh [SCENE], examples/input.txt by default.
# The viewer reads the scene through a link, so File > Restart shows each edit of SCENE. Without a
# display it renders the scene to a PNG file instead and says where.
# KAVELO_PREBUILT=DIR uses the build tree DIR as it is: no packages installed, nothing built.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
given="${1:-$root/examples/input.txt}"
# Refused here, before anything is built, in the words of the user's own file: the viewer would
# only ever see the link input.txt in a folder of this script's making.
if [ ! -e "$given" ]; then
    echo "run.sh: $given: no such file" >&2
    exit 1
fi
if [ ! -f "$given" ]; then
    echo "run.sh: $given: not a regular file" >&2
    exit 1
fi
scene="$(realpath "$given")"
if [ -n "${KAVELO_PREBUILT:-}" ]; then
    build="$(realpath "$KAVELO_PREBUILT")"
else
    build="$root/build"
    bash "$root/scripts/install-deps.sh"
    # Only the two programs: the tests and benchmarks are scripts/test.sh's business.
    bash "$root/scripts/build.sh" "$build" -DKAVELO_TESTS=OFF -DKAVELO_BENCH=OFF -- kavelo kavelo-render
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    out="$build/$(basename "$scene" .txt).png"
    "$build/tools/kavelo-render" "$scene" -o "$out"
    echo "No display here: rendered $scene to $out"
    exit 0
fi
# The viewer reads "input.txt" in its working directory.
if [ "$(basename "$scene")" = input.txt ]; then
    cd "$(dirname "$scene")"
    exec "$build/shell/kavelo"
fi
# Another name: a link to it in a folder of its own, removed when the viewer is done.
dir="$(mktemp -d "${TMPDIR:-/tmp}/kavelo-run.XXXXXX")"
trap 'rm -rf "$dir"' EXIT
ln -s "$scene" "$dir/input.txt"
cd "$dir"
"$build/shell/kavelo" &
viewer=$!
trap 'kill "$viewer" 2>/dev/null || true; exit 130' INT TERM HUP
wait "$viewer"
