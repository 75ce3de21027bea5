#!/usr/bin/env bash
# Builds Kavelo and runs it on the bundled example scene.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
./build/tools/kavelo-render --dump examples/input.txt
