#!/bin/bash
# Times ten separate presses of Right made within 1.3 s on a 10 MB scene of triangles and patches
# (the start-up benchmark's kind of scene, whose frame takes about a second on llvmpipe): how long
# after the last press the viewer goes on working (its last frame and panel refresh), against the
# time of one press made while it is idle (one frame and its panel refresh). The viewer's CPU time,
# its rasteriser's threads included, tells when it is done. Prints the medians of RUNS runs, the
# median of each run's ratio of the two, and the machine's load.
# Needs an X display in DISPLAY and xdotool; the presses go through XTEST to the focused window,
# with the server's own timestamps, as a keyboard's do.
#   scripts/ten-presses-bench.sh PATH/TO/kavelo [RUNS]
set -euo pipefail

kavelo=$(realpath "$1")
# shellcheck source=scripts/process-watch.sh
. "$(dirname "$0")/process-watch.sh"
runs=${2:-5}
work_in_own_folder

# About 10 MB: triangles scattered over the view, each followed by a patch about 3 units square.
awk 'BEGIN {
    srand(3)
    for (size = 0; size < 10 * 1048576;) {
        line = "P (0 0 1) {"
        for (k = 0; k < 3; k++)
            line = line sprintf(" %.6f %.6f %.6f 1", rand() * 6 - 3, rand() * 6 - 3, rand() * 6 - 3)
        line = line " }\nS {"
        for (k = 0; k < 16; k++)
            line = line sprintf(" %.6f %.6f %.6f 1", k % 4 - 1.5 + (rand() * 6 - 3) * 0.1,
                                int(k / 4) - 1.5, (rand() * 6 - 3) * 0.2)
        line = line " }"
        print line
        size += length(line) + 1
    }
}' >input.txt

# Milliseconds from $1 (a now_ms) until process $pid last used CPU, once it has used none for 1 s.
busy_since() {
    echo "$(($(last_busy "$pid" 100) - $1))"
}

# Presses key $1 once and prints the milliseconds of work it caused.
one_press() {
    local from
    from=$(now_ms)
    xdotool key "$1"
    busy_since "$from"
}

echo "load at the start: $(cat /proc/loadavg)"
frames=()
settles=()
spans=()
ratios=()
for _ in $(seq "$runs"); do
    "$kavelo" 2>/dev/null &
    pid=$!
    wid=$(xdotool search --sync --onlyvisible --name '^Scene from input.txt - Kavelo$' | head -n 1)
    busy_since "$(now_ms)" >/dev/null # read, compiled, first picture drawn
    xdotool windowfocus --sync "$wid"

    # One frame: a press each way, from idle, after one that takes the window's first redraw
    # since it got the focus along.
    one_press Left >/dev/null
    run_frames=("$(one_press Right)" "$(one_press Left)")
    frames+=("${run_frames[@]}")

    first=$(now_ms)
    for i in $(seq 10); do
        xdotool key Right
        [ "$i" -eq 10 ] || sleep 0.12
    done
    last=$(now_ms)
    spans+=("$((last - first))")
    settles+=("$(busy_since "$last")")
    # Against this run's own frames, which the load slows alike.
    ratios+=("$(awk -v s="${settles[-1]}" -v a="${run_frames[0]}" -v b="${run_frames[1]}" \
        'BEGIN { printf "%.2f", 2 * s / (a + b) }')")

    kill -TERM "$pid"
    wait "$pid" || true
done

frame=$(printf '%s\n' "${frames[@]}" | median)
settle=$(printf '%s\n' "${settles[@]}" | median)
echo "load at the end: $(cat /proc/loadavg)"
echo "one press from idle, ms of work: $frame (presses: ${frames[*]})"
echo "ten presses in $(printf '%s\n' "${spans[@]}" | median) ms, ms of work after the last:" \
    "$settle (runs: ${settles[*]})"
echo "settle / frame, each run against its own frames: $(printf '%s\n' "${ratios[@]}" | median)" \
    "(runs: ${ratios[*]})"
