#!/usr/bin/env bash
# Times the scan of a large plot file: `plotvue FILE /I` (one interpreter pass plus the file
# information), best of three runs, with `cat` and, when installed, hp2xx beside it for scale.
#
#   bench/scan.sh [BUILD_DIR]        BUILD_DIR defaults to build/release
#
# Builds nothing: BUILD_DIR must already hold src/app/plotvue and bench/gen_benchfile. The 100 MB
# input BUILD_DIR/bench/bench100.plt is generated on first use and kept. Prints, per command, the
# best wall time, the throughput in MB/s (1 MB = 1,000,000 bytes: file size / best wall time) and
# the peak resident set size reported by /usr/bin/time -v.
set -euo pipefail

runs=3
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/release}
# A relative build directory is taken from the current directory, else from the source tree.
if [[ ! -d $build && $build != /* && -d $root/$build ]]; then
  build=$root/$build
fi
if [[ ! -d $build ]]; then
  echo "scan.sh: build directory $build not found (configure and build it first)" >&2
  exit 1
fi

plotvue=$build/src/app/plotvue
generator=$build/bench/gen_benchfile
file=$build/bench/bench100.plt

if [[ ! -x $plotvue ]]; then
  echo "scan.sh: $plotvue not found; build it first: cmake --build $build --target plotvue" >&2
  exit 1
fi

if [[ ! -x /usr/bin/time ]]; then
  echo "scan.sh: /usr/bin/time is missing; installing the Debian package time" >&2
  sudo=
  if [[ $(id -u) -ne 0 ]]; then sudo=sudo; fi
  $sudo apt-get install -y time || { $sudo apt-get update && $sudo apt-get install -y time; }
fi

if [[ ! -f $file ]]; then
  if [[ ! -x $generator ]]; then
    echo "scan.sh: $generator not found; build it first: cmake --build $build --target gen_benchfile" >&2
    exit 1
  fi
  "$generator" "$file" 100
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# plotvue keeps its settings and recent-file history here, not in the user's own directory.
export PLOTVUE_HOME=$work/home
mkdir -p "$PLOTVUE_HOME"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

bytes=$(stat -c %s "$file")
echo "file: $file ($bytes bytes)"
printf '%-26s %9s %10s %13s   %s\n' "command" "best s" "MB/s" "peak RSS MiB" "all runs (s)"

failed=0

# shellcheck source=bench/timing.sh
. "$root/bench/timing.sh"

# Timed KEY NAME COMMAND...: times COMMAND and prints one line headed NAME: best wall time,
# throughput, peak RSS and every run's time.
Timed() {
  local key=$1 label=$2
  shift 2
  RunTimed "$key" "" "$@" || return
  awk -v name="$label" -v best="$BEST" -v bytes="$bytes" -v rss="$PEAK" -v all="$ALL" 'BEGIN {
    rate = best > 0 ? bytes / 1e6 / best : 0
    printf "%-26s %9.3f %10.1f %13.1f  %s\n", name, best, rate, rss / 1024, all
  }'
}

# shellcheck disable=SC2016  # $1 is expanded by the inner shell
Timed cat "cat" sh -c 'cat "$1" > /dev/null' sh "$file"
Timed plotvue "plotvue FILE /I" "$plotvue" "$file" /I
if [[ -s $work/plotvue.out ]]; then
  echo "plotvue says:"
  sed 's/^/    /' "$work/plotvue.out" | head -20
fi
if command -v hp2xx >/dev/null 2>&1; then
  # HP-GL in, HP-GL out: one full parse with the cheapest writer; stdin closed so that it never
  # waits for a key, its pen warnings go to the .err file.
  # shellcheck disable=SC2016  # $1 is expanded by the inner shell
  Timed hp2xx "hp2xx -m hpgl" sh -c 'hp2xx -q -m hpgl -f /dev/null "$1" < /dev/null' sh "$file"
else
  echo "hp2xx not installed: skipped"
fi

exit $failed
