#!/usr/bin/env bash
# The speed record on one table: the scan (`plotvue FILE /I`), the conversion into each output
# syntax (bench/convert_bench, as a batch conversion into files does), the window's first picture
# and full replay (bench/view_bench), hp2xx in its nearest modes on the same input, and `cat` as
# the floor.
#
#   bench/run.sh [BUILD_DIR] [SYNTAX...]   BUILD_DIR defaults to build/release; SYNTAX codes
#                                          1..12 (default: all). RUNS=N sets the runs per row (3).
#
# Builds nothing: BUILD_DIR must hold src/app/plotvue, bench/convert_bench and bench/gen_benchfile
# (bench/view_bench is optional: without it its rows say so). The 100 MB input
# BUILD_DIR/bench/bench100.plt is generated on first use and kept.
#
# Per row: the best wall seconds of the runs, MB/s of input (1 MB = 1,000,000 bytes), the size of
# the output (all parts) and MB/s of output, the peak resident set size (/usr/bin/time -v) and
# the ratio of the time to hp2xx's where hp2xx has a counterpart mode. The window rows take
# view_bench's own figures (its first picture: one opening per run; its replay: best of three
# inside one run); their peak memory is that of the whole view_bench run.
set -euo pipefail

runs=${RUNS:-3}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build/release}
shift || true
syntaxes=("$@")
if [[ ${#syntaxes[@]} -eq 0 ]]; then syntaxes=(1 2 3 4 5 6 7 8 9 10 11 12); fi
names=("" "HP-GL" "Aristo" "Lasercomb" "CNC" "DXF" "Turbo Pascal" "IGES" "Turbo C" "HP-GL/2"
       "Postscript" "HPGL-Laser" "Garmin GPS")
# The hp2xx mode nearest to each syntax (none where it has no counterpart).
hp2xx_mode=("" "hpgl" "" "" "nc" "dxf" "" "" "" "" "eps" "" "")

# A relative build directory is taken from the current directory, else from the source tree.
if [[ ! -d $build && $build != /* && -d $root/$build ]]; then
  build=$root/$build
fi
if [[ ! -d $build ]]; then
  echo "run.sh: build directory $build not found (configure and build it first)" >&2
  exit 1
fi

plotvue=$build/src/app/plotvue
converter=$build/bench/convert_bench
generator=$build/bench/gen_benchfile
viewer=$build/bench/view_bench
file=$build/bench/bench100.plt

for tool in "$plotvue" "$converter" "$generator"; do
  if [[ ! -x $tool ]]; then
    echo "run.sh: $tool not found; build it first:" \
         "cmake --build $build --target plotvue convert_bench gen_benchfile" >&2
    exit 1
  fi
done

if [[ ! -x /usr/bin/time ]]; then
  echo "run.sh: /usr/bin/time is missing; installing the Debian package time" >&2
  sudo=
  if [[ $(id -u) -ne 0 ]]; then sudo=sudo; fi
  $sudo apt-get install -y time || { $sudo apt-get update && $sudo apt-get install -y time; }
fi

if [[ ! -f $file ]]; then
  "$generator" "$file" 100 >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# plotvue keeps its settings and recent-file history here, not in the user's own directory.
export PLOTVUE_HOME=$work/home
mkdir -p "$PLOTVUE_HOME"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

bytes=$(stat -c %s "$file")
failed=0
# The rows, one per line: label, seconds, output bytes, peak KB, hp2xx key (tab-separated);
# printed together at the end so that the ratios to hp2xx can be taken.
rows=$work/rows.tsv
: >"$rows"
notes=()

# shellcheck source=bench/timing.sh
. "$root/bench/timing.sh"

# Row LABEL KEY OUTDIR COMMAND...: times COMMAND (OUTDIR, when not "", emptied before each run;
# the output size is that of all files in it) and records one row; KEY names the hp2xx row it is
# compared with ("" for none, "self:MODE" for hp2xx's own row).
Row() {
  local label=$1 key=$2 output=$3
  shift 3
  local before=""
  if [[ -n $output ]]; then before="rm -rf '$output' && mkdir -p '$output'"; fi
  RunTimed run "$before" "$@" || return 0
  local size=0
  if [[ -n $output ]]; then size=$(du -sb "$output" | cut -f1); fi
  printf '%s\t%s\t%s\t%s\t%s\n' "$label" "$BEST" "$size" "$PEAK" "$key" >>"$rows"
}

# shellcheck disable=SC2016  # $1 is expanded by the inner shell
Row "cat FILE > /dev/null" "" "" sh -c 'cat "$1" > /dev/null' sh "$file"
Row "plotvue FILE /I (scan)" "" "" "$plotvue" "$file" /I

# The outputs are split into parts of 500000 elements (the default MaxFileElements), as a batch
# conversion with the built-in settings does: PLOT, then PLO2, PLO3, ...
for code in "${syntaxes[@]}"; do
  Row "$code ${names[$code]}" "${hp2xx_mode[$code]}" "$work/out" \
    "$converter" "$file" "$code" "$work/out/PLOT"
done

if [[ -x $viewer ]]; then
  # view_bench prints its own figures; one opening per run, the best kept.
  best_first='' best_replay='' peak=0
  for ((i = 1; i <= runs; i++)); do
    /usr/bin/time -v -o "$work/time.txt" "$viewer" "$file" >"$work/view.out" 2>"$work/view.err" ||
      { echo "view_bench failed:"; sed 's/^/    /' "$work/view.err" | head -5; failed=1; break; }
    first=$(awk '/first picture after/ { for (k = 1; k <= NF; ++k) if ($k == "after") print $(k + 1) }' \
      "$work/view.out" | head -1)
    replay=$(awk '/replay whole/ { for (k = 1; k <= NF; ++k) if ($k == "whole") print $(k + 1) }' \
      "$work/view.out" | head -1)
    rss=$(awk -F': ' '/Maximum resident set size/ { print $2 + 0 }' "$work/time.txt")
    if [[ -z $best_first ]] || awk -v a="$first" -v b="$best_first" 'BEGIN { exit !(a < b) }'; then
      best_first=$first
    fi
    if [[ -z $best_replay ]] || awk -v a="$replay" -v b="$best_replay" 'BEGIN { exit !(a < b) }'; then
      best_replay=$replay
    fi
    if ((${rss:-0} > peak)); then peak=$rss; fi
  done
  if [[ -n $best_first ]]; then
    printf '%s\t%s\t0\t%s\t\n' "window: open to first picture" "$best_first" "$peak" >>"$rows"
    printf '%s\t%s\t0\t%s\t\n' "window: full replay" "$best_replay" "$peak" >>"$rows"
  fi
else
  notes+=("window rows skipped: $viewer not built (it needs the Qt window layer)")
fi

if command -v hp2xx >/dev/null 2>&1; then
  for mode in hpgl dxf nc eps; do
    # stdin closed so that it never waits for a key; its warnings go to the error file.
    # shellcheck disable=SC2016  # $1..$3 are expanded by the inner shell
    Row "hp2xx -m $mode" "self:$mode" "$work/out" \
      sh -c 'hp2xx -q -m "$3" -f "$2" "$1" < /dev/null' sh "$file" "$work/out/hp2xx.$mode" "$mode"
  done
else
  notes+=("hp2xx rows skipped: not installed (Debian package hp2xx)")
fi

echo "input: $file ($bytes bytes), best of $runs runs"
awk -F'\t' -v bytes="$bytes" '
  { label[NR] = $1; best[NR] = $2; size[NR] = $3; rss[NR] = $4; key[NR] = $5
    if ($5 ~ /^self:/) hp[substr($5, 6)] = $2 }
  END {
    printf "%-32s %8s %8s %10s %8s %9s %9s\n", "what", "best s", "in MB/s", "out MB",
           "out MB/s", "peak MiB", "x hp2xx"
    for (k = 1; k <= NR; ++k) {
      out = size[k] > 0 ? sprintf("%10.1f", size[k] / 1e6) : sprintf("%10s", "-")
      outrate = size[k] > 0 && best[k] > 0 ? sprintf("%8.0f", size[k] / 1e6 / best[k]) \
                                           : sprintf("%8s", "-")
      ratio = "-"
      if (key[k] != "" && key[k] !~ /^self:/ && (key[k] in hp) && hp[key[k]] > 0)
        ratio = sprintf("%.2f", best[k] / hp[key[k]])
      inrate = best[k] > 0 ? bytes / 1e6 / best[k] : 0
      printf "%-32s %8.3f %8.0f %s %s %9.1f %9s\n", label[k], best[k], inrate, out, outrate,
             rss[k] / 1024, ratio
    }
  }' "$rows"
for note in "${notes[@]+"${notes[@]}"}"; do echo "note: $note"; done

exit $failed
