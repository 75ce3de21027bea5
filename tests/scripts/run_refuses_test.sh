#!/usr/bin/env bash
# scripts/run.sh names the user's own SCENE when it cannot be opened, before anything is built.
#   run_refuses_test.sh RUN_SH
set -uo pipefail
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
failures=0
for case in "$dir/missing.txt|no such file" "$dir|not a regular file"; do
    scene="${case%%|*}"
    want="run.sh: $scene: ${case#*|}"
    got="$(KAVELO_PREBUILT="$dir/no-build" bash "$1" "$scene" 2>&1)"
    status=$?
    if [ "$status" -ne 1 ] || [ "$got" != "$want" ]; then
        echo "run.sh $scene: exit $status, said '$got', want '$want'"
        failures=$((failures + 1))
    fi
done
exit "$failures"
