#!/bin/bash
# Destroys the viewer's window from another X client (XDestroyWindow), TRIES times at each of
# three moments, and counts the runs that ended by a signal instead of exit status 0:
#   frame    while the first picture after the reading and compile of a 15 MB scene of curves is
#            drawn (at a random point of it: the compile's line on stderr starts it);
#   idle     once the window shows the example scene and is idle;
#   startup  as soon as the window is mapped, before its first picture.
# Needs an X display in DISPLAY, xdotool and python3 (the destroying client uses libX11 by ctypes).
# With HANG_DUMP set to a folder, each viewer still there after a minute first has the stacks of all
# its threads written there by gdb (hangN.bt, with its stderr as hangN.stderr), to see where it waits.
#   scripts/outside-destroy-loop.sh PATH/TO/kavelo [TRIES]
set -euo pipefail

kavelo=$(realpath "$1")
# shellcheck source=scripts/process-watch.sh
. "$(dirname "$0")/process-watch.sh"
tries=${2:-20}
examples=$(realpath "$(dirname "$0")/../examples")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/large" "$dir/small"
cp "$examples/input.txt" "$dir/small/input.txt"
random_curves 130000 >"$dir/large/input.txt"

# The other client: one process that destroys each window whose id it is given, at once.
coproc DESTROYER {
    python3 -u -c '
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
# A window already gone (a viewer that crashed) is no reason for this client to end.
handler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
x.XSetErrorHandler(handler)
display = x.XOpenDisplay(None)
for line in sys.stdin:
    x.XDestroyWindow(display, int(line))
    x.XSync(display, 0)
    print("done")
'
}
destroy() {
    echo "$1" >&"${DESTROYER[1]}"
    read -r _ <&"${DESTROYER[0]}"
}

# Runs the command $@ until it succeeds; ends the script when the viewer is gone first or a
# minute passes.
until_true() {
    local deadline=$((SECONDS + 60))
    until "$@"; do
        if ! kill -0 "$pid" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
            echo "outside-destroy-loop: the viewer ended or hung before the moment came" >&2
            return 1
        fi
        sleep 0.02
    done
}

# Sets window to the viewer's window, with xdotool's options $@. xdotool fails when a window it
# looks at goes meanwhile (one of the viewer before).
find_window() {
    window=$(xdotool search "$@" --name ' - Kavelo$' 2>/dev/null | head -n 1) && [ -n "$window" ]
}

# The work is done and the first picture after it is being drawn (the 130,000 curves exceed the
# software rasteriser's budget; on a hardware renderer no such line comes).
coarsened() { grep -q Coarsened "$dir/stderr"; }

# Starts the viewer in folder $1 and waits for its window; sets pid and window.
start() {
    (cd "$1" && exec "$kavelo" 2>"$dir/stderr") &
    pid=$!
    until_true find_window --onlyvisible
}

# Sets status to the viewer's exit status, once it is gone; one still there after a minute is
# killed (status 137).
finish() {
    local deadline=$((SECONDS + 60)) state
    # Gone: reaped by this shell already, or a zombie.
    until state=$(awk '{ print $3 }' "/proc/$pid/stat" 2>/dev/null) || true
        [ -z "$state" ] || [ "$state" = Z ] || [ "$SECONDS" -ge "$deadline" ]; do
        sleep 0.05
    done
    if [ -n "${HANG_DUMP:-}" ] && [ -n "$state" ] && [ "$state" != Z ]; then
        hangs=$((hangs + 1))
        cp "$dir/stderr" "$HANG_DUMP/hang$hangs.stderr"
        gdb -p "$pid" -batch -ex 'thread apply all bt' >"$HANG_DUMP/hang$hangs.bt" 2>&1 || true
    fi
    kill -KILL "$pid" 2>/dev/null || true
    status=0
    wait "$pid" || status=$?
}

# Waits until process $pid has used no CPU for 0.5 s; sets busy to when it last did (ms).
until_idle() {
    busy=$(last_busy "$pid" 50)
}

# Seconds the first picture after the work takes, from the compile's line to idle, measured once.
frame_seconds() {
    local from
    start "$dir/large"
    until_true coarsened
    from=$(now_ms)
    until_idle
    kill -TERM "$pid"
    finish
    echo "$(((busy - from) / 1000 + 1))"
}

# Counts a run of moment $1 that did not end with exit status 0, by status.
count() {
    finish
    if [ "$status" -ne 0 ]; then
        failed[$1]="${failed[$1]} $status"
    fi
}

hangs=0
frame=$(frame_seconds)
declare -A failed=([frame]="" [idle]="" [startup]="")
for _ in $(seq "$tries"); do
    start "$dir/large"
    until_true coarsened
    delay=$((RANDOM * frame * 1000 / 32768))
    sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
    destroy "$window"
    count frame

    start "$dir/small"
    until_idle
    destroy "$window"
    count idle

    # As soon as the window exists, mapped or not: before its first picture.
    (cd "$dir/small" && exec "$kavelo" 2>"$dir/stderr") &
    pid=$!
    until_true find_window
    destroy "$window"
    count startup
done

echo "load: $(cat /proc/loadavg)"
echo "first picture after the work: about ${frame} s"
for moment in frame idle startup; do
    read -ra statuses <<<"${failed[$moment]}"
    echo "destroyed during $moment: ${#statuses[@]} of $tries runs did not end with status 0 (statuses:${failed[$moment]:- none})"
done
