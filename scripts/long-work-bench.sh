#!/bin/bash
# Times the viewer's long work as a user meets it, on a scene of about 40 MB of curves: how long
# the process lives after a close request (SIGTERM, which closes the window as its close box
# does) made during the reading and made once the scene is shown, and how long the work goes on
# after Esc during the reading. Prints the median of RUNS runs of each, and the machine's load.
# Needs an X display in DISPLAY and xdotool.
#   scripts/long-work-bench.sh PATH/TO/kavelo [RUNS]
set -euo pipefail

kavelo=$(realpath "$1")
# shellcheck source=scripts/process-watch.sh
. "$(dirname "$0")/process-watch.sh"
runs=${2:-5}
work_in_own_folder
random_curves 350000 >input.txt

# Starts the viewer and waits for its window; sets pid.
start() {
    "$kavelo" 2>/dev/null &
    pid=$!
    xdotool search --sync --onlyvisible --name '^Scene from input.txt - Kavelo$' >/dev/null
}

# Sets gone_ms to the milliseconds from now until process $pid is gone, and status to its exit
# status (in this shell: only its parent can wait for it).
until_gone() {
    local from
    from=$(now_ms)
    status=0
    wait "$pid" || status=$?
    gone_ms=$(($(now_ms) - from))
}

# Milliseconds from now until process $pid last used CPU, once it has used none for 0.5 s.
until_idle() {
    local from
    from=$(now_ms)
    echo "$(($(last_busy "$pid" 50) - from))"
}

close_reading=()
close_idle=()
esc_reading=()
for _ in $(seq "$runs"); do
    start
    sleep 1 # well into the reading
    kill -TERM "$pid"
    until_gone
    close_reading+=("$gone_ms")
    echo "close during the reading: exit status $status" >&2

    start
    until_idle >/dev/null
    kill -TERM "$pid"
    until_gone
    close_idle+=("$gone_ms")

    start
    sleep 1
    xdotool key --window "$(xdotool search --onlyvisible --name '^Scene from input.txt - Kavelo$' |
        head -n 1)" Escape
    esc_reading+=("$(until_idle)")
    kill -TERM "$pid"
    wait "$pid" || true
done

echo "load: $(cat /proc/loadavg)"
echo "close during the reading, ms to gone: $(printf '%s\n' "${close_reading[@]}" | median)" \
    "(runs: ${close_reading[*]})"
echo "close of the idle window, ms to gone: $(printf '%s\n' "${close_idle[@]}" | median)" \
    "(runs: ${close_idle[*]})"
echo "Esc during the reading, ms of work after: $(printf '%s\n' "${esc_reading[@]}" | median)" \
    "(runs: ${esc_reading[*]})"
