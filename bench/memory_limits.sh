#!/usr/bin/env bash
# The matrix of scenes (polygons, curves, patches; 1,000 to 1,000,000 items) by address-space
# limits (512 MiB to 8 GiB): how each run of kavelo-render and of kavelo, on the display of
# $DISPLAY, ends. A signal or an abort is a fault; every other ending is a picture or a message
# with its documented status. The viewer runs until it has been idle for two seconds (its work
# done, the frame drawn) and is then ended with SIGTERM, which it takes as a close (status 0).
#   bench/memory_limits.sh BUILD_DIR [--render-only|--viewer-only] [--kinds=K,K] [--limits=KiB,KiB]
#                          [SIZES...]   (sizes default to 1000 10000 100000 1000000)
#   xvfb-run -a -s "-screen 0 1280x1024x24" nice -n 10 bench/memory_limits.sh build --viewer-only
# Each row: program, kind, items, limit, ending (exit N, SIGNAL N, busy), seconds, and the last
# line the program wrote on stderr (none: nothing was said, the picture drawn as asked).
set -euo pipefail
usage="usage: memory_limits.sh BUILD_DIR [--render-only|--viewer-only] [--kinds=K,K] [--limits=KiB,KiB] [SIZES...]"
build=$(cd "${1:?$usage}" && pwd)
shift
programs=(render viewer)
kinds=(polygons curves patches)
limits=(524288 1048576 2097152 4194304 8388608)
while [ "$#" -gt 0 ]; do
    case "$1" in
    --render-only) programs=(render) ;;
    --viewer-only) programs=(viewer) ;;
    --kinds=*) IFS=, read -r -a kinds <<<"${1#--kinds=}" ;;
    --limits=*) IFS=, read -r -a limits <<<"${1#--limits=}" ;;
    --*)
        echo "$usage" >&2
        exit 2
        ;;
    *) break ;;
    esac
    shift
done
sizes=("$@")
[ "${#sizes[@]}" -gt 0 ] || sizes=(1000 10000 100000 1000000)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# SCENE KIND COUNT: a file of COUNT polygons, curves or patches across the view.
make_scene() {
    awk -v kind="$2" -v n="$3" 'BEGIN {
        for (i = 0; i < n; i++) {
            y = -0.9 + 1.8 * i / n
            if (kind == "polygons") {
                printf "P (0 0 -1) { -0.9 %.6f 0 1  0.9 %.6f 0 1  0.9 %.6f 0 1  -0.9 %.6f 0 1 }\n", y, y, y + 0.001, y + 0.001
            } else if (kind == "curves") {
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

now() {
    date +%s.%N
}

# Runs the viewer on SCENE under LIMIT KiB until it ends or has idled for two seconds, then ends
# it by SIGTERM; prints its status (999 when still busy after 20 minutes) and the seconds to its
# end or to the start of its idling.
run_viewer() {
    mkdir -p "$work/v"
    ln -sf "$1" "$work/v/input.txt"
    local start
    start=$(now)
    (cd "$work/v" && ulimit -v "$2" && exec "$build/shell/kavelo") 2>"$work/err" &
    local pid=$! last=-1 idle=0 waited=0 ticked busy=0 end
    end=$(now)
    while [ "$idle" -lt 4 ]; do
        sleep 0.5
        waited=$((waited + 1))
        ticked=$(ticks "$pid")
        [ -n "$ticked" ] || break
        if [ "$ticked" = "$last" ]; then
            idle=$((idle + 1))
        else
            idle=0
            end=$(now)
        fi
        last=$ticked
        if [ "$waited" -ge 2400 ]; then
            busy=1
            break
        fi
    done
    [ -n "$ticked" ] || end=$(now)
    kill -TERM "$pid" 2>/dev/null || true
    local status=0
    wait "$pid" || status=$?
    [ "$busy" -eq 0 ] || status=999
    echo "$status $(echo "$end - $start" | bc)"
}

run_render() {
    local start status=0
    start=$(now)
    (ulimit -v "$2" && exec "$build/tools/kavelo-render" "$1" -o "$work/out.png") \
        2>"$work/err" || status=$?
    echo "$status $(echo "$(now) - $start" | bc)"
}

# How a status ends: a signal above 128, else the status itself.
ending() {
    if [ "$1" -eq 999 ]; then
        echo "busy"
    elif [ "$1" -gt 128 ]; then
        echo "SIGNAL $(($1 - 128))"
    else
        echo "exit $1"
    fi
}

echo "load: $(cat /proc/loadavg)"
printf '%-7s %-9s %-8s %-6s %-9s %7s  %s\n' program kind items MiB ending seconds "last line of stderr"
for kind in "${kinds[@]}"; do
    for n in "${sizes[@]}"; do
        scene="$work/$kind-$n.txt"
        make_scene "$scene" "$kind" "$n"
        for limit in "${limits[@]}"; do
            for program in "${programs[@]}"; do
                read -r status seconds < <("run_$program" "$scene" "$limit")
                said=$(grep -v "^$" "$work/err" | tail -n 1 | cut -c1-110 || true)
                printf '%-7s %-9s %-8s %-6s %-9s %7.1f  %s\n' "$program" "$kind" "$n" \
                    $((limit / 1024)) "$(ending "$status")" "$seconds" "${said:-none}"
            done
        done
    done
    rm -f "$work/$kind-"*.txt
done
echo "load: $(cat /proc/loadavg)"
