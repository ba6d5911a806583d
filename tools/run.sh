#!/usr/bin/env bash
# Builds PLOTVUE (release) and opens the bundled sample drawing in the window; without a
# display it prints the drawing's information instead.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
plotvue_install_missing "${PLOTVUE_BUILD_PACKAGES[@]}"
cmake --preset release >/dev/null
cmake --build --preset release
plotvue=./build/release/src/app/plotvue
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec "$plotvue" data/samples/sample.plt
else
  exec "$plotvue" data/samples/sample.plt /I
fi
