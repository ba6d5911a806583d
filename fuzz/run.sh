#!/usr/bin/env bash
# Runs the fuzz targets of build/fuzz, each for SECONDS (default 30), seeded from the plot files
# of the tests, the shipped help files and font, and a settings file. Findings (crash-*,
# leak-*, timeout-*) are kept in build/fuzz/findings/TARGET; the exit code is 1 when any target
# found something.
#   fuzz/run.sh [SECONDS] [TARGET...]     targets: scan convert config shp helptext helppic
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(scan convert config shp helptext helppic)
build=build/fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seed() {  # seed TARGET: fills $work/TARGET with the seeds of the target
  local dir=$work/$1
  mkdir -p "$dir"
  case $1 in
    scan) cp tests/data/corpus/*.plt data/samples/*.plt "$dir"/ ;;
    convert)  # two bytes of settings before the plot file
      local k=0 f
      for f in tests/data/corpus/*.plt data/samples/*.plt; do
        { printf "\\$(printf %o $((k % 12)))\\$(printf %o $((k * 37 % 256)))"; head -c 20000 "$f"; } \
          > "$dir/seed$k.plt"
        k=$((k + 1))
      done ;;
    config) cp fuzz/seeds/plotvue.cfg "$dir"/ ;;
    shp) cp data/TXT.SHP "$dir"/ ;;
    helptext) for f in data/help/*.hlp; do { printf '\023\044'; cat "$f"; } > "$dir/$(basename "$f")"; done ;;
    helppic) cp data/help/*.plt "$dir"/ ;;
  esac
}

status=0
for t in "${targets[@]}"; do
  seed "$t"
  findings=$build/findings/$t
  mkdir -p "$findings"
  echo "== fuzz_$t, ${seconds} s"
  # The convert target writes its outputs into the current directory's scratch folder.
  if ! (cd "$work" && TMPDIR="$work" "$OLDPWD/$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=65536 \
        -timeout=20 -rss_limit_mb=2048 -artifact_prefix="$OLDPWD/$findings/" \
        -print_final_stats=1 "$work/$t" 2>&1 | grep -E "^(#[0-9]+ *DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)" ); then
    :
  fi
  if ls "$findings"/crash-* "$findings"/leak-* "$findings"/timeout-* >/dev/null 2>&1; then
    echo "fuzz_$t: findings in $findings"
    status=1
  fi
done
exit $status
