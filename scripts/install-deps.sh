#!/usr/bin/env bash
# Installs the Debian packages the project needs. Does nothing when everything is already there.
#   scripts/install-deps.sh          what building and running the viewer and kavelo-render need
#   scripts/install-deps.sh --test   that, and everything the tests, benchmarks, sanitizer and
#                                    fuzzer builds and the package checks need, with the German
#                                    locale the tests use
set -euo pipefail

user_packages=(
    build-essential cmake g++
    qt6-base-dev libqt6opengl6-dev libxcb1-dev libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
    libtinygltf-dev nlohmann-json3-dev fonts-dejavu-core qt6-wayland
)
test_packages=(
    clang libclang-rt-14-dev clang-format
    libgtest-dev libbenchmark-dev
    xvfb xauth x11-utils xdotool locales dbus-daemon
    desktop-file-utils dpkg-dev file lintian appstream man-db help2man scdoc librsvg2-bin
    bash-completion shellcheck universal-ctags assimp-utils
    weston netpbm openbox
)

packages=("${user_packages[@]}")
case "${1:-}" in
'') ;;
--test)
    packages+=("${test_packages[@]}")
    # Node runs the glTF validator; a Node from elsewhere brings its own npm.
    command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
    ;;
*)
    echo "usage: scripts/install-deps.sh [--test]" >&2
    exit 2
    ;;
esac

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

# One query for all: a second start of scripts/run.sh waits for this on every run.
installed=$'\n'"$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true)"$'\n'
missing=()
for p in "${packages[@]}"; do
    [[ "$installed" == *$'\n'"$p install ok installed"$'\n'* ]] || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The Khronos glTF validator checks the mesh files in the tests: from npm, into the project's own
# build-tools/ (ignored by git), where the tests look for it.
validator="$(dirname "$0")/../build-tools"
if [ "${1:-}" = --test ] && [ ! -f "$validator/node_modules/gltf-validator/package.json" ]; then
    echo "install-deps: installing gltf-validator into build-tools/"
    npm install --prefix "$validator" --no-audit --no-fund --no-save gltf-validator
fi

if [ "${1:-}" = --test ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "install-deps: generating de_DE.UTF-8"
    "${sudo_cmd[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo_cmd[@]}" locale-gen
fi
