#!/usr/bin/env bash
# Runs a command on an X server of its own: own_display.sh COMMAND [ARGS...]. Tests that show
# windows then run side by side without taking each other's focus or pointer.
set -euo pipefail
dir="$(mktemp -d)"
mkfifo "$dir/display"
# The server picks a free display number itself and writes it to the pipe when it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$dir"' EXIT
if ! read -r number <"$dir/display"; then
    cat "$dir/log" >&2
    exit 1
fi
unset WAYLAND_DISPLAY
DISPLAY=":$number" "$@"
