#!/usr/bin/env bash
# Times the conversion of a large plot file into every output syntax: bench/convert_bench (a scan
# pass, then the convert pass, as a batch conversion does), best of three runs per syntax, with
# hp2xx in its nearest modes (-m hpgl, -m eps) on the same file beside it for scale.
#
#   bench/convert.sh [BUILD_DIR] [SYNTAX...]   BUILD_DIR defaults to build/release; SYNTAX codes
#                                              1..12 (default: all)
#
# Builds nothing: BUILD_DIR must already hold bench/convert_bench and bench/gen_benchfile. The
# 100 MB input BUILD_DIR/bench/bench100.plt is generated on first use and kept. Prints, per
# command, the best wall time, the throughput in MB/s of input (1 MB = 1,000,000 bytes), the
# peak resident set size reported by /usr/bin/time -v and the size of the output (all parts).
set -euo pipefail

runs=${RUNS:-3}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/release}
shift || true
syntaxes=("$@")
if [[ ${#syntaxes[@]} -eq 0 ]]; then syntaxes=(1 2 3 4 5 6 7 8 9 10 11 12); fi
names=("" "HP-GL" "Aristo" "Lasercomb" "CNC" "DXF" "Turbo Pascal" "IGES" "Turbo C" "HP-GL/2"
       "Postscript" "HPGL-Laser" "Garmin GPS")

# A relative build directory is taken from the current directory, else from the source tree.
if [[ ! -d $build && $build != /* && -d $root/$build ]]; then
  build=$root/$build
fi
if [[ ! -d $build ]]; then
  echo "convert.sh: build directory $build not found (configure and build it first)" >&2
  exit 1
fi

converter=$build/bench/convert_bench
generator=$build/bench/gen_benchfile
file=$build/bench/bench100.plt

for tool in "$converter" "$generator"; do
  if [[ ! -x $tool ]]; then
    echo "convert.sh: $tool not found; build it first:" \
         "cmake --build $build --target convert_bench gen_benchfile" >&2
    exit 1
  fi
done

if [[ ! -x /usr/bin/time ]]; then
  echo "convert.sh: /usr/bin/time is missing; installing the Debian package time" >&2
  sudo=
  if [[ $(id -u) -ne 0 ]]; then sudo=sudo; fi
  $sudo apt-get install -y time || { $sudo apt-get update && $sudo apt-get install -y time; }
fi

if [[ ! -f $file ]]; then
  "$generator" "$file" 100
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bytes=$(stat -c %s "$file")
echo "file: $file ($bytes bytes), best of $runs runs"
printf '%-26s %9s %10s %13s %12s   %s\n' "command" "best s" "MB/s" "peak RSS MiB" "output MB" \
  "all runs (s)"

failed=0

# shellcheck source=bench/timing.sh
. "$root/bench/timing.sh"

# Timed NAME OUTDIR COMMAND...: times COMMAND and prints one line headed NAME; the size reported
# is that of all files COMMAND wrote into OUTDIR (emptied before each run).
Timed() {
  local label=$1 output=$2
  shift 2
  RunTimed run "rm -rf '$output' && mkdir -p '$output'" "$@" || return
  local size
  size=$(du -sb "$output" | cut -f1)
  awk -v name="$label" -v best="$BEST" -v bytes="$bytes" -v rss="$PEAK" -v all="$ALL" \
      -v size="$size" 'BEGIN {
    rate = best > 0 ? bytes / 1e6 / best : 0
    printf "%-26s %9.3f %10.1f %13.1f %12.1f  %s\n", name, best, rate, rss / 1024, size / 1e6, all
  }'
}

# The outputs are split into parts of 500000 elements (the default MaxFileElements), as a batch
# conversion with the built-in settings does: PLOT, then PLO2, PLO3, ...
for code in "${syntaxes[@]}"; do
  Timed "$code ${names[$code]}" "$work/out" "$converter" "$file" "$code" "$work/out/PLOT"
done

if command -v hp2xx >/dev/null 2>&1; then
  # stdin closed so that it never waits for a key; its warnings go to the error file.
  # shellcheck disable=SC2016  # $1 and $2 are expanded by the inner shell
  Timed "hp2xx -m hpgl" "$work/out" \
    sh -c 'hp2xx -q -m hpgl -f "$2" "$1" < /dev/null' sh "$file" "$work/out/hp2xx.hpgl"
  # shellcheck disable=SC2016
  Timed "hp2xx -m eps" "$work/out" \
    sh -c 'hp2xx -q -m eps -f "$2" "$1" < /dev/null' sh "$file" "$work/out/hp2xx.eps"
else
  echo "hp2xx not installed (Debian package hp2xx): skipped"
fi

exit $failed
