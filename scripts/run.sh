#!/usr/bin/env bash
# Builds Kavelo and runs it on a bundled scene: scripts/run.sh [SCENE], examples/input.txt by
# default. Without a display it renders the scene to a PNG file instead and says where.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh build
scene="$(realpath "${1:-examples/input.txt}")"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    # The viewer reads "input.txt" in its working directory.
    dir="$(dirname "$scene")"
    if [ "$(basename "$scene")" != input.txt ]; then
        dir="$(mktemp -d)"
        cp "$scene" "$dir/input.txt"
    fi
    cd "$dir"
    exec "$root/build/shell/kavelo"
fi
out="$root/build/$(basename "$scene" .txt).png"
"$root/build/tools/kavelo-render" "$scene" -o "$out"
echo "No display here: rendered $scene to $out"
