#!/usr/bin/env bash
# Builds PLOTVUE (release) and runs it on the bundled sample drawing.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
plotvue_install_missing "${PLOTVUE_BUILD_PACKAGES[@]}"
cmake --preset release >/dev/null
cmake --build --preset release
./build/release/src/plotvue data/samples/sample.plt /I
