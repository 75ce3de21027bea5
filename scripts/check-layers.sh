#!/usr/bin/env bash
# Fails on an include that crosses the layers the wrong way (docs/architecture.md):
#   scene/, navigation/     no Qt, no OpenGL
#   render/                 no Qt
#   platform/               nothing of render/, view/ or shell/ but the resources
#   view/                   nothing of shell/ but the resources
# and on any folder that takes a folder it does not build on. shell/resources/ is the ground
# floor: everyone may read it, and it reads nobody. The build enforces most of this already (a
# target sees only the folders it links); this also catches the system headers.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder | project folders it may include | system headers it must not include
rules=(
    "shell/resources|shell/resources|<Q|<GL/|<EGL/"
    "scene|scene|<Q|<GL/|<EGL/"
    "navigation|navigation scene|<Q|<GL/|<EGL/"
    "render|render navigation scene|<Q"
    "platform|platform|"
    "view|view render navigation scene platform|"
)

status=0
for rule in "${rules[@]}"; do
    IFS='|' read -r folder allowed forbidden <<<"$rule"
    files=$(find "$folder" -name '*.h' -o -name '*.cpp' | sort)
    [ -n "$files" ] || continue
    # Project includes are written "folder/header.h" from the root.
    while IFS= read -r hit; do
        [ -n "$hit" ] || continue
        target=$(sed -E 's/.*#include "([^"]*)".*/\1/' <<<"$hit")
        ok=0
        for layer in $allowed shell/resources; do
            case "$target" in "$layer"/*) ok=1 ;; esac
        done
        # A folder's own files may be named without their folder.
        case "$target" in */*) ;; *) ok=1 ;; esac
        if [ "$ok" -eq 0 ]; then
            echo "layer violation: $hit" >&2
            status=1
        fi
    done < <(grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' $files || true)
    if [ -n "$forbidden" ]; then
        IFS='|' read -ra banned <<<"$forbidden"
        for prefix in "${banned[@]}"; do
            if grep -Hn "^[[:space:]]*#[[:space:]]*include[[:space:]]*$prefix" $files; then
                echo "layer violation: $folder/ may not include $prefix..." >&2
                status=1
            fi
        done
    fi
done
[ "$status" -eq 0 ] && echo "layers: ok"
exit "$status"
