#!/usr/bin/env bash
# Installs the Debian packages the project needs. Does nothing when everything is already there.
#   scripts/install-deps.sh          what building and running the viewer and kavelo-render need
#   scripts/install-deps.sh --test   that, and everything the tests, benchmarks, sanitizer and
#                                    fuzzer builds and the package checks need, with the German
#                                    locale the tests use
set -euo pipefail

user_packages=(
    build-essential cmake g++
    qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
    fonts-dejavu-core qt6-wayland
)
test_packages=(
    clang libclang-rt-14-dev clang-format
    libgtest-dev libbenchmark-dev
    xvfb xauth x11-utils xdotool locales
    desktop-file-utils dpkg-dev file lintian appstream man-db help2man scdoc librsvg2-bin
    bash-completion shellcheck universal-ctags
    weston netpbm openbox
)

packages=("${user_packages[@]}")
case "${1:-}" in
'') ;;
--test) packages+=("${test_packages[@]}") ;;
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

if [ "${1:-}" = --test ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "install-deps: generating de_DE.UTF-8"
    "${sudo_cmd[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo_cmd[@]}" locale-gen
fi
