# shellcheck shell=bash
# What the measurement scripts share: a folder of their own, a clock, a process's CPU time, when it
# goes idle, a median and a large scene of curves. Sourced, not run.

# Makes a folder for the script's files, removed when the script ends, and works in it; sets dir.
work_in_own_folder() {
    dir=$(mktemp -d)
    trap 'rm -rf "$dir"' EXIT
    cd "$dir" || exit
}

now_ms() { date +%s%3N; }

# User and system time of process $1 in clock ticks, its threads included; empty once it is gone.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || true; }

# Waits until process $1 has used no CPU for $2 hundredths of a second, and prints when it last
# did (a now_ms).
last_busy() {
    local last ticks quiet=0 busy
    busy=$(now_ms)
    last=$(cpu_ticks "$1")
    while [ "$quiet" -lt "$2" ]; do
        sleep 0.01
        ticks=$(cpu_ticks "$1")
        if [ "$ticks" != "$last" ]; then
            last=$ticks
            busy=$(now_ms)
            quiet=0
        else
            quiet=$((quiet + 1))
        fi
    done
    echo "$busy"
}

# The median of the numbers on stdin, one a line.
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# $1 curves of random points over the view, always the same (about 114 bytes a curve).
random_curves() {
    awk -v n="$1" 'BEGIN {
        srand(7)
        for (i = 0; i < n; i++) {
            printf "C {"
            for (k = 0; k < 4; k++) printf " %.5f %.5f %.5f 1", rand() * 8 - 4, rand() * 8 - 4, rand()
            printf " }\n"
        }
    }'
}
