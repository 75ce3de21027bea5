#!/usr/bin/env bash
# The bash completion of kavelo-render: options from the program's --help, picture names after -o.
#   completion_test.sh COMPLETION_FILE KAVELO_RENDER
set -uo pipefail
# shellcheck source=tools/kavelo-render.bash-completion
source "$1"
tool="$(realpath "$2")"
compopt() { :; }  # only works while bash itself completes
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
cd "$dir" && touch a.png b.JPG c.txt e.glb && mkdir d
failures=0
tests=0

# Completes the words of $1, the last one being completed; leaves the sorted offers in $got.
complete_line() {
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_WORDS[0]="$tool"
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _kavelo_render
    got="$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)"
}
expect() {
    tests=$((tests + 1))
    complete_line "$1"
    if [ "$got" != "$2" ]; then
        echo "FAILED: '$1' offers '$got', want '$2'"
        failures=$((failures + 1))
    fi
}

expect "kavelo-render --out" "--output="
expect "kavelo-render --s" "--shift= --size= --stats --stretch="
expect "kavelo-render --d" "--dump"
expect "kavelo-render -" "$("$tool" --help | grep -o -- '--[a-z-]*=\{0,1\}' | grep -v '^--$' | sort -u | xargs)"
expect "kavelo-render x -o " "a.png b.JPG d e.glb"
expect "kavelo-render x --output = " "a.png b.JPG d e.glb"
expect "kavelo-render x --size " ""
expect "kavelo-render x --frames " ""
expect "kavelo-render " "a.png b.JPG c.txt d e.glb"
echo "$((tests - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
