#!/usr/bin/env bash
# Fails on a function longer than the limit in the program's own layers, and lists each one:
#   scripts/function-length.sh [--limit LINES] [FOLDER...]
# 60 lines by default, over scene/, navigation/, mesh/, render/, view/ and tools/. A function's lines run
# from its name to its closing brace, as universal-ctags finds them.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=60
if [ "${1:-}" = --limit ]; then
    limit="$2"
    shift 2
fi
folders=("$@")
[ "${#folders[@]}" -gt 0 ] || folders=(scene navigation mesh render view tools)

mapfile -t files < <(find "${folders[@]}" -name '*.cpp' -o -name '*.h' | sort)
# end line, first line, file, qualified name; unnamed namespaces left out of the name.
long="$(ctags -x --language-force=C++ --kinds-C++=f --fields=+ne \
    --_xformat='%{end} %{line} %{input} %{scope}::%{name}' "${files[@]}" |
    awk -v limit="$limit" '{
        lines = $1 - $2 + 1
        name = $4
        gsub(/__anon[0-9a-f]+::/, "", name)
        sub(/^::/, "", name)
        if (lines > limit) printf "%4d %s:%d %s\n", lines, $3, $2, name
    }' | sort -rn)"
if [ -n "$long" ]; then
    echo "functions over $limit lines:" >&2
    echo "$long" >&2
    exit 1
fi
echo "function length: none over $limit lines in ${folders[*]}"
