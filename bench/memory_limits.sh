#!/usr/bin/env bash
# The matrix of scene sizes by address-space limits: how each run of kavelo-render (and, with
# --viewer, of kavelo on the display of $DISPLAY) ends. A signal or an abort is a fault; every
# other ending is a picture or a message with its documented status. The viewer runs until it has
# been idle for two seconds (its work done, the frame drawn) and is then ended with SIGTERM.
#   bench/memory_limits.sh BUILD_DIR [--viewer] [SIZES...]   (sizes default to 10000 100000 1000000)
#   xvfb-run -a -s "-screen 0 1280x1024x24" bench/memory_limits.sh build --viewer 10000 100000
set -euo pipefail
build=$(cd "${1:?usage: memory_limits.sh BUILD_DIR [--viewer] [SIZES...]}" && pwd)
shift
viewer=0
if [ "${1:-}" = --viewer ]; then
    viewer=1
    shift
fi
sizes=("$@")
[ "${#sizes[@]}" -gt 0 ] || sizes=(10000 100000 1000000)
limits=(524288 1048576 2097152)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# SCENE KIND COUNT: a file of COUNT curves or patches across the view.
make_scene() {
    awk -v kind="$2" -v n="$3" 'BEGIN {
        for (i = 0; i < n; i++) {
            y = -0.9 + 1.8 * i / n
            if (kind == "curves") {
                printf "C { -0.9 %.6f 0 1  -0.3 %.6f 0 1  0.3 %.6f 0 1  0.9 %.6f 0 1 }\n", y, y + 0.5, y - 0.5, y
            } else {
                printf "S {"
                for (k = 0; k < 16; k++) printf " %.3f %.6f %s 1", -0.9 + int(k / 4) * 0.6, y + (k % 4) * 0.02, (k == 5 ? "0.3" : "0")
                printf " }\n"
            }
        }
    }' >"$1"
}

# CPU ticks the process PID has used; empty once it is gone.
ticks() {
    awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || true
}

# Runs the viewer on SCENE under LIMIT KiB until it ends or idles; prints its status, 143 when
# it was still alive and idle.
run_viewer() {
    mkdir -p "$work/v"
    ln -sf "$1" "$work/v/input.txt"
    (cd "$work/v" && ulimit -v "$2" && exec "$build/shell/kavelo") 2>"$work/err" &
    local pid=$! last=-1 idle=0 waited=0 now
    while [ "$idle" -lt 4 ] && [ "$waited" -lt 240 ]; do
        sleep 0.5
        waited=$((waited + 1))
        now=$(ticks "$pid")
        [ -n "$now" ] || break
        if [ "$now" = "$last" ]; then idle=$((idle + 1)); else idle=0; fi
        last=$now
    done
    kill -TERM "$pid" 2>/dev/null || true
    local status=0
    wait "$pid" || status=$?
    echo "$status"
}

# How a status ends: a signal above 128, else the status itself.
ending() {
    if [ "$1" -eq 143 ]; then
        echo "idle"
    elif [ "$1" -gt 128 ]; then
        echo "SIGNAL $(($1 - 128))"
    else
        echo "exit $1"
    fi
}

echo "load: $(cat /proc/loadavg)"
printf '%-8s %-8s %-9s %-8s %-8s %s\n' program kind items limit_MiB ending "seconds, last line of stderr"
for kind in curves patches; do
    for n in "${sizes[@]}"; do
        scene="$work/$kind-$n.txt"
        make_scene "$scene" "$kind" "$n"
        for limit in "${limits[@]}"; do
            start=$(date +%s.%N)
            status=0
            (ulimit -v "$limit" && exec "$build/tools/kavelo-render" "$scene" -o "$work/out.png") \
                2>"$work/err" || status=$?
            seconds=$(echo "$(date +%s.%N) - $start" | bc)
            printf '%-8s %-8s %-9s %-8s %-8s %.1f %s\n' render "$kind" "$n" $((limit / 1024)) \
                "$(ending "$status")" "$seconds" "$(tail -n 1 "$work/err" | cut -c1-100)"
            if [ "$viewer" -eq 1 ]; then
                status=$(run_viewer "$scene" "$limit")
                printf '%-8s %-8s %-9s %-8s %-8s %s\n' viewer "$kind" "$n" $((limit / 1024)) \
                    "$(ending "$status")" "$(grep -v '^$' "$work/err" | tail -n 1 | cut -c1-100)"
            fi
        done
    done
done
