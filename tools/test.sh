#!/usr/bin/env bash
# Builds PLOTVUE and runs every test: the release build, then the same tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
plotvue_install_missing "${PLOTVUE_BUILD_PACKAGES[@]}" "${PLOTVUE_TEST_PACKAGES[@]}"
# gpsbabel with the PCX5 reader comes from the previous Debian release, unpacked into a scratch
# folder (the machine's apt state is not touched); without it the Garmin check skips.
bash tests/output/fetch_gpsbabel.sh >/dev/null 2>&1 || echo "gpsbabel not available: the Garmin reader check will skip"
# A CUPS queue that prints into PDF files, for the test of a page through a real queue; without
# one that test skips.
if queue=$(bash tools/cups_pdf_queue.sh); then
  export $queue
else
  echo "no CUPS PDF queue: the CUPS printing check will skip"
fi
for preset in release asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
