#!/usr/bin/env bash
# Holds the code to the layer table of docs/architecture.md (Folder | Targets | May use | Never):
#   - every folder of code is a row, and every row's folder holds code;
#   - the targets each folder's CMakeLists.txt makes are the row's Targets, and the project
#     targets it links belong to the folders its May use names;
#   - a file includes only its own folder, the folders its May use names and shell/resources/;
#   - a row whose Never names Qt or OpenGL includes no header of theirs.
# The build enforces the includes already (a target sees only the folders it links); this also
# catches the system headers, the links and what the page leaves out.
set -euo pipefail
cd "$(dirname "$0")/.."
page=docs/architecture.md

# The names a cell of the table quotes, one a line.
quoted() {
    local tick='`'
    grep -oE "${tick}[^${tick}]*${tick}" <<<"$1" | tr -d "$tick" || true
}

declare -A targets_of allowed_of never_of folder_of_target
folders=()
while IFS='|' read -r _ folder targets uses never _; do
    folder="$(quoted "$folder" | sed 's#/$##')"
    [ -n "$folder" ] || continue
    folders+=("$folder")
    targets_of[$folder]="$(quoted "$targets" | tr '\n' ' ')"
    allowed_of[$folder]="$(quoted "$uses" | sed -n 's#/$##p' | tr '\n' ' ')"
    never_of[$folder]="$never"
    for target in ${targets_of[$folder]}; do
        folder_of_target[$target]="$folder"
    done
done < <(sed -n '/^| Folder | Targets | May use | Never |$/,/^$/p' "$page" | tail -n +3)
if [ "${#folders[@]}" -eq 0 ]; then
    echo "check-layers: no layer table in $page" >&2
    exit 1
fi

status=0
fail() {
    echo "layer violation: $*" >&2
    status=1
}

known() {
    local folder
    for folder in "${folders[@]}"; do
        [ "$folder" = "$1" ] && return 0
    done
    return 1
}

# Folders of code outside tests/, bench/ and the build trees.
while IFS= read -r dir; do
    known "$dir" || fail "$dir/ holds code but has no row in $page"
done < <(find . -path ./tests -prune -o -path ./bench -prune -o -path './build*' -prune -o \
    \( -name '*.cpp' -o -name '*.h' \) -printf '%h\n' | sed 's#^\./##' | sort -u)

for folder in "${folders[@]}"; do
    mapfile -t files < <(find "$folder" -maxdepth 1 \( -name '*.h' -o -name '*.cpp' \) | sort)
    if [ "${#files[@]}" -eq 0 ]; then
        fail "$page names $folder/, which holds no code"
        continue
    fi
    allowed="$folder ${allowed_of[$folder]} shell/resources"

    # Targets: made here, and linked from here.
    cmake="$folder/CMakeLists.txt"
    made="$(sed -nE 's/^[[:space:]]*(add_library|add_executable|kavelo_folder_library|kavelo_program)\(([A-Za-z0-9_-]+).*/\2/p' \
        "$cmake" | sort -u | tr '\n' ' ')"
    for target in $made; do
        [ "${folder_of_target[$target]:-}" = "$folder" ] ||
            fail "$cmake makes $target, which the $folder/ row does not name"
    done
    for target in ${targets_of[$folder]}; do
        grep -qw -- "$target" <<<"$made" || fail "$page names $target for $folder/, which $cmake does not make"
    done
    while IFS= read -r target; do
        grep -qw -- "$target" <<<"$made" && continue
        owner="${folder_of_target[$target]:-}"
        [ -n "$owner" ] || {
            fail "$cmake links $target, which $page does not name"
            continue
        }
        grep -qw -- "$owner" <<<"$allowed" || fail "$cmake links $target of $owner/"
    done < <(sed -E 's/kavelo_[a-z_]+\(//g; s/#.*//' "$cmake" | grep -oE '\bkavelo_[a-z_]+\b' | sort -u)

    # Project includes are written "folder/header.h" from the root; a folder's own files may be
    # named without their folder.
    while IFS= read -r hit; do
        target="$(sed -E 's/.*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$hit")"
        [[ "$target" == */* ]] || continue
        ok=0
        for layer in $allowed; do
            [[ "$target" == "$layer"/* && "$target" != "$layer"/*/* ]] && ok=1
        done
        [ "$ok" -eq 1 ] || fail "$hit"
    done < <(grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "${files[@]}" || true)

    banned=()
    [[ "${never_of[$folder]}" == *Qt* ]] && banned+=("<Q")
    [[ "${never_of[$folder]}" == *OpenGL* ]] && banned+=("<GL/" "<EGL/")
    for prefix in "${banned[@]}"; do
        if grep -Hn "^[[:space:]]*#[[:space:]]*include[[:space:]]*$prefix" "${files[@]}"; then
            fail "$folder/ may not include $prefix..."
        fi
    done
done
[ "$status" -eq 0 ] && echo "layers: ok (${#folders[@]} folders)"
exit "$status"
