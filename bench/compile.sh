#!/usr/bin/env bash
# Compile-heavy puzzles (bench/compile/*.tvk): wall time, the compile time
# that --stats reports (when the binary reports it) and the peak resident
# memory of the whole process, one run each. A run is cut off after TIMEOUT
# seconds and, through the shell's address-space limit, at CAP_MB megabytes,
# so an old binary that multiplies its domains out cannot take the machine's
# memory. The search after the compile phase is cut short (--limit 1,
# --time-limit) to keep the table about compiling. Not part of the test suite.
#
# usage: bench/compile.sh [TOVIK] [PUZZLE.tvk...]
#   TIMEOUT=60 CAP_MB=4096
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
tovik=${1:-$here/../build/tovik}
shift || true
limit=${TIMEOUT:-60}
cap=${CAP_MB:-4096}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if [ $# -gt 0 ]; then puzzles=("$@"); else puzzles=("$here"/compile/*.tvk); fi

printf '%-18s %10s %12s %12s  %s\n' puzzle "wall ms" "compile ms" "peak MB" status
for puzzle in "${puzzles[@]}"; do
  (
    ulimit -v $((cap * 1024))
    exec /usr/bin/time -f '%e %M' -o "$scratch/time" timeout "$limit" \
      "$tovik" --stats --limit 1 --time-limit 5 "$puzzle" >/dev/null 2>"$scratch/err"
  )
  status=$?
  read -r wall rss <"$scratch/time" 2>/dev/null || { wall=?; rss=0; }
  wall=$(tail -n 1 "$scratch/time" | awk '{ printf "%.0f", $1 * 1000 }')
  rss=$(tail -n 1 "$scratch/time" | awk '{ printf "%.1f", $2 / 1024 }')
  compile=$(sed -n 's/.*(compile \([0-9.]*\) s.*/\1/p' "$scratch/err" | awk '{ printf "%.1f", $1 * 1000 }')
  note=$status
  grep -q 'out of memory' "$scratch/err" && note="$status (out of memory)"
  [ "$status" -eq 124 ] && grep -q 'Command exited' "$scratch/time" && ! grep -q 'cut short' "$scratch/err" && note="killed after ${limit}s"
  printf '%-18s %10s %12s %12s  %s\n' "$(basename "$puzzle" .tvk)" "$wall" "${compile:--}" "$rss" "$note"
done
