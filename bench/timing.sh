# Shared by the benchmark scripts (sourced, not run). RunTimed KEY BEFORE COMMAND...: runs
# COMMAND $runs times under /usr/bin/time -v, running the shell command BEFORE (may be "") ahead
# of each run. Wall time is taken around each run in nanoseconds (GNU time rounds to 10 ms).
# Sets BEST (seconds), PEAK (largest peak RSS, KB) and ALL (every run's seconds). The command's
# output and errors go to $work/KEY.out and $work/KEY.err. On a failed run it prints the exit
# status and the first error lines headed KEY's label $label, sets failed=1 and returns 1.
# Needs: $runs, $work, $failed.
RunTimed() {
  local key=$1 before=$2
  shift 2
  BEST='' PEAK=0 ALL=''
  local status i start end seconds rss
  for ((i = 1; i <= runs; i++)); do
    [[ -n $before ]] && eval "$before"
    start=$(date +%s%N)
    status=0
    /usr/bin/time -v -o "$work/time.txt" "$@" >"$work/$key.out" 2>"$work/$key.err" || status=$?
    end=$(date +%s%N)
    if ((status != 0)); then
      printf '%-26s failed with exit status %d\n' "${label:-$key}" "$status"
      sed 's/^/    /' "$work/$key.err" | head -5
      failed=1
      return 1
    fi
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    rss=$(awk -F': ' '/Maximum resident set size/ { print $2 + 0 }' "$work/time.txt")
    rss=${rss:-0}
    ALL="$ALL $seconds"
    if [[ -z $BEST ]] || awk -v s="$seconds" -v b="$BEST" 'BEGIN { exit !(s < b) }'; then
      BEST=$seconds
    fi
    if ((rss > PEAK)); then PEAK=$rss; fi
  done
}
