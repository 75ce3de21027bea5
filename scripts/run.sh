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
    # A second start skips the build, which takes seconds even when it has nothing to do, while
    # no file the two programs are built from is newer than the latest build of this script's
    # (scenes, tests, benchmarks and pages are not among them).
    stamp="$build/run-stamp"
    changed=""
    if [ -f "$stamp" ] && [ -x "$build/shell/kavelo" ] && [ -x "$build/tools/kavelo-render" ]; then
        changed="$(find "$root" -mindepth 1 -type d \( -name '.*' -o -name 'build*' \
            -o -name examples -o -name tests -o -name bench -o -name docs \) -prune \
            -o -type f -newer "$stamp" -print -quit)"
    else
        changed=yes
    fi
    if [ -n "$changed" ]; then
        mkdir -p "$build"
        touch "$stamp.next"  # before the build: an edit made while it runs is newer
        # Only the two programs: the tests and benchmarks are scripts/test.sh's business.
        bash "$root/scripts/build.sh" "$build" -DKAVELO_TESTS=OFF -DKAVELO_BENCH=OFF -- kavelo kavelo-render
        mv "$stamp.next" "$stamp"
    else
        echo "run.sh: packages installed and $build built from the sources as they are: starting"
    fi
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
