#!/usr/bin/env bash
# Configures and builds one build tree; every script that builds goes through here.
#   scripts/build.sh [BUILD_DIR [CMAKE_ARGS...]] [-- TARGETS...]
# build by default; all targets unless some are named after "--".
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
configure=()
targets=()
while [ "$#" -gt 0 ]; do
    if [ "$1" = -- ]; then
        shift
        targets=("$@")
        break
    fi
    configure+=("$1")
    shift
done
cmake -S . -B "$dir" "${configure[@]}" >/dev/null
build=(cmake --build "$dir" -j "$(nproc)")
[ "${#targets[@]}" -eq 0 ] || build+=(--target "${targets[@]}")
"${build[@]}"
