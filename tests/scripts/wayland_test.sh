#!/usr/bin/env bash
# The viewer on Wayland: under a headless weston of its own it starts, the compositor shows its
# picture with the black background black (opaque, not the desktop's green behind it), and a
# termination request closes it with status 0.
#   wayland_test.sh KAVELO SCENE
set -uo pipefail
kavelo="$(realpath "$1")"
scene="$2"
for tool in weston weston-screenshooter pngtopnm pnmcrop pamfile pamcut ppmhist; do
    if ! command -v "$tool" >/dev/null; then
        echo "wayland_test: $tool is missing (scripts/install-deps.sh --test installs it)"
        exit 1
    fi
done
dir="$(mktemp -d)"
compositor=""
viewer=""
cleanup() {
    for pid in "$viewer" "$compositor"; do
        [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
fail() {
    echo "wayland_test: $*"
    for log in weston viewer; do
        [ ! -s "$dir/$log.log" ] || sed "s/^/$log: /" "$dir/$log.log"
    done
    exit 1
}

# A compositor of this test's own: its own runtime folder and socket, so that runs side by side,
# or one after another, never meet. Its desktop is plain green, which anything see-through in the
# window would show.
export XDG_RUNTIME_DIR="$dir/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$dir/shots" "$dir/scene"
printf '[shell]\nbackground-image=\nbackground-color=0xff00ff00\npanel-position=none\n' \
    >"$dir/weston.ini"
socket="kavelo-test"
width=1024
height=768
weston --config="$dir/weston.ini" --backend=headless-backend.so --use-pixman \
    --socket="$socket" --width="$width" --height="$height" \
    --idle-time=0 --debug >"$dir/weston.log" 2>&1 &
compositor=$!

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tries="$1"
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}
wait_for 100 test -S "$XDG_RUNTIME_DIR/$socket" || fail "weston did not start"

ln -s "$(realpath "$scene")" "$dir/scene/input.txt"
# A sanitizer build's leak check would report what Wayland's and Mesa's libraries keep at exit;
# the in-process tests check the program's own memory.
(cd "$dir/scene" && unset DISPLAY && exec env QT_QPA_PLATFORM=wayland \
    WAYLAND_DISPLAY="$socket" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    "$kavelo") >"$dir/viewer.log" 2>&1 &
viewer=$!

# Takes a screenshot of the output and keeps the window's part of it, all but the desktop around
# it, in $dir/window.ppm; fails while no window is shown.
screenshot() {
    rm -f "$dir"/shots/*.png
    (cd "$dir/shots" && WAYLAND_DISPLAY="$socket" weston-screenshooter) >/dev/null 2>&1 || return 1
    pngtopnm "$dir"/shots/*.png | pnmcrop -bg-corner=topleft >"$dir/window.ppm" 2>/dev/null &&
        read -r _ _ _ window_width _ window_height _ < <(pamfile "$dir/window.ppm") &&
        [ "$window_width" -ge 400 ] && [ "$window_height" -ge 300 ]
}
# The colours of a rectangle of the window, one "R G B" a line.
colours() {
    pamcut -left "$1" -top "$2" -width "$3" -height "$4" "$dir/window.ppm" |
        ppmhist -noheader | awk '{ print $1, $2, $3 }'
}
# The number of the window's pixels in the scene's pink, lit or in shade.
pink() {
    ppmhist -noheader "$dir/window.ppm" |
        awk '$1 > 2 * $2 + 20 && $3 > 2 * $2 + 10 { n += $5 } END { print n + 0 }'
}
# The window's first composition may show the view before its picture is in it.
drawn() {
    kill -0 "$viewer" 2>/dev/null || fail "the viewer ended before it showed"
    screenshot && [ "$(pink)" -gt 1000 ]
}
wait_for 300 drawn || fail "no picture shown within 30 s"

# Two corners of the view that the example's scene leaves black: above its left corner, under the
# banner, and at the bottom right, above the status bar.
for rect in "$((window_width * 3 / 10)) 80 40 40" \
    "$((window_width - 60)) $((window_height - 90)) 40 40"; do
    # shellcheck disable=SC2086 # the rectangle is four numbers
    got="$(colours $rect | tr '\n' ';')"
    [ "$got" = "0 0 0;" ] || fail "the view's black at $rect shows as: $got"
done

kill -TERM "$viewer"
wait "$viewer"
status=$?
viewer=""
[ "$status" -eq 0 ] || fail "the viewer ended with status $status on SIGTERM"
echo "wayland_test: shown opaque and closed cleanly"
