#!/usr/bin/env bash
# Checks the bench puzzles: the default search's step count against NAME.steps,
# and the solution lines of both searches against NAME.lines (every line,
# sorted; worked out independently of tovik) or their number against
# NAME.count. Puzzles whose pinned step count exceeds MAX_STEPS are checked
# with --fast only, and those without a .steps file too (the hard sudokus:
# the default search takes minutes on them).
#
# usage: bench/check.sh [BUILD_DIR] [PUZZLE.tvk...]
#   MAX_STEPS=3000000   larger pinned counts are not run with the default search
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$(dirname "$here")/build}
shift || true
tovik=$build/tovik
max_steps=${MAX_STEPS:-3000000}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if [ $# -gt 0 ]; then puzzles=("$@"); else puzzles=("$here"/puzzles/*.tvk); fi
# A build without the propagation search lists --fast as not available and
# would search the default way, which takes minutes on the hard sudokus.
# (The help is read whole first: grep -q stops reading at its match, and under
# pipefail a tovik still writing would then fail the pipeline.)
fast=yes
help=$("$tovik" --help 2>&1)
grep -q -- 'not available in this build' <<<"$help" && fast=

failed=0
fail() { echo "FAIL $1: $2"; failed=1; }

# The solution lines of a run's output (after the two phase lines), sorted.
lines() { tail -n +3 "$1" | tr -d '\r' | LC_ALL=C sort; }

check_lines() {
  local name=$1 base=$2 out=$3
  if [ -f "$base.lines" ]; then
    lines "$out" | cmp -s - <(LC_ALL=C sort "$base.lines") || fail "$name" "$4 lines differ from $name.lines"
  elif [ -f "$base.count" ]; then
    local n
    n=$(lines "$out" | wc -l)
    [ "$n" -eq "$(cat "$base.count")" ] || fail "$name" "$4 printed $n lines, not $(cat "$base.count")"
  fi
}

for puzzle in "${puzzles[@]}"; do
  base=${puzzle%.tvk}
  name=$(basename "$base")
  if [ -f "$base.steps" ] && [ "$(cat "$base.steps")" -le "$max_steps" ]; then
    "$tovik" --stats "$puzzle" >"$scratch/out" 2>"$scratch/err"
    steps=$(sed -n 's/.*steps: \([0-9]*\).*/\1/p' "$scratch/err")
    [ "$steps" = "$(cat "$base.steps")" ] || fail "$name" "$steps steps, pinned $(cat "$base.steps")"
    check_lines "$name" "$base" "$scratch/out" default
  fi
  if [ -n "$fast" ]; then
    "$tovik" --fast "$puzzle" >"$scratch/out" 2>/dev/null
    check_lines "$name" "$base" "$scratch/out" --fast
  fi
  echo "checked $name"
done
exit $failed
