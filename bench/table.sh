#!/usr/bin/env bash
# The benchmark table: for each puzzle, the default search's steps, time and
# steps per second, and the --fast search's time, for two builds of tovik
# side by side (before and after a change). Times are processor seconds
# (user + system) of the whole run, output to /dev/null, the minimum of RUNS
# runs: on a shared machine wall time mostly measures the other processes.
# Prints a Markdown table. Not part of the test suite.
#
# usage: bench/table.sh BEFORE_TOVIK AFTER_TOVIK [PUZZLE.tvk...]
#   RUNS=3   runs per command, the two builds in turn
#   LONG_RUNS=1   runs of the default search on puzzles over 5 M steps
#   CLOCK=stats   times as --stats reports them instead: the run inside the
#                 process (compile and search, wall clock, in milliseconds),
#                 without the process's start-up
#   TIME_LIMIT=S  stops each default search after S seconds (--time-limit),
#                 for puzzles whose default search runs for hours: their row
#                 then gives the steps taken in that time
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
before=$1
after=$2
shift 2
runs=${RUNS:-3}
limit=()
[ -n "${TIME_LIMIT:-}" ] && limit=(--time-limit "$TIME_LIMIT")
if [ $# -gt 0 ]; then
  puzzles=("$@")
else
  puzzles=("$here"/puzzles/sudoku-medium.tvk "$here"/puzzles/sudoku-easy.tvk
           "$here"/puzzles/send-most-columns.tvk "$here"/puzzles/queens10.tvk
           "$root"/examples/sendmore.tvk "$here"/puzzles/three-digit-sum.tvk
           "$here"/puzzles/colouring.tvk "$here"/puzzles/latin5-rows.tvk
           "$here"/puzzles/latin5.tvk "$here"/puzzles/sendmore-words.tvk
           "$here"/puzzles/donald-words.tvk "$here"/puzzles/queens12.tvk
           "$root"/examples/zebra.tvk "$root"/examples/magic.tvk)
fi

# The smaller of two times.
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b < a ? b : a) }'; }

# stats N TOVIK PUZZLE [OPTION...] prints "STEPS SECONDS": the step count and
# the smallest time of N runs.
stats() {
  local n=$1 tovik=$2 puzzle=$3 best="" steps="" err t i
  shift 3
  for ((i = 0; i < n; i++)); do
    err=$({ TIMEFORMAT='cpu: %3U %3S'; time "$tovik" "$@" --stats "$puzzle" 2>&1 >/dev/null; } 2>&1)
    steps=$(sed -n 's/.*steps: \([0-9]*\).*/\1/p' <<<"$err")
    if [ "${CLOCK:-cpu}" = stats ]; then
      t=$(sed -n 's/.*time: \([0-9.]*\) s.*/\1/p' <<<"$err")
    else
      t=$(awk '/^cpu: / { printf "%.3f", $2 + $3 }' <<<"$err")
    fi
    best=$(smaller "${best:-$t}" "$t")
  done
  echo "${steps:--} $best"
}

rate() { awk -v s="$1" -v t="$2" 'BEGIN { if (t > 0) printf "%.2f", s / t / 1e6; else print "-" }'; }

echo "| puzzle | steps | before s | after s | before M steps/s | after M steps/s | --fast before s | --fast after s |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|"
for puzzle in "${puzzles[@]}"; do
  name=$(basename "$puzzle" .tvk)
  read -r steps tb <<<"$(stats 1 "$before" "$puzzle" "${limit[@]}")"
  n=$runs
  [ "$steps" -gt 5000000 ] && n=${LONG_RUNS:-1}
  # The two builds take turns, so that a change in the machine's load falls
  # on both.
  read -r steps_after ta <<<"$(stats 1 "$after" "$puzzle" "${limit[@]}")"
  for ((i = 1; i < n; i++)); do
    read -r _ t <<<"$(stats 1 "$before" "$puzzle" "${limit[@]}")"
    tb=$(smaller "$tb" "$t")
    read -r _ t <<<"$(stats 1 "$after" "$puzzle" "${limit[@]}")"
    ta=$(smaller "$ta" "$t")
  done
  # Cut short by the time limit, the two builds take different numbers of
  # steps; otherwise they must take the same.
  if [ ${#limit[@]} -gt 0 ]; then
    steps="$steps / $steps_after"
  elif [ "$steps" != "$steps_after" ]; then
    steps="$steps / $steps_after (differ!)"
  fi
  read -r _ fb <<<"$(stats "$runs" "$before" "$puzzle" --fast)"
  read -r _ fa <<<"$(stats "$runs" "$after" "$puzzle" --fast)"
  echo "| $name | $steps | $tb | $ta | $(rate "$steps" "$tb") | $(rate "$steps_after" "$ta") | $fb | $fa |"
done
