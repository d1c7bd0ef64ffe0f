#!/usr/bin/env bash
# Benchmarks the default search (tovik), the propagating search (tovik --fast)
# and, where a .mzn model sits beside the puzzle and minizinc is installed,
# MiniZinc with Gecode, on the examples and on bench/puzzles. Each command
# runs RUNS times; the table gives median wall times in milliseconds (end to
# end: start-up, compile, search, printing every solution to /dev/null) and
# the ratios to tovik --fast. The last column says whether the three printed
# the same set of solution lines. Not part of the test suite.
#
# usage: bench/run.sh [BUILD_DIR] [PUZZLE.tvk...]
#   RUNS=5       runs per command
#   TIMEOUT=20   seconds after which one run is abandoned (shown as ">20s")
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${1:-$root/build}
shift || true
tovik=$build/tovik
runs=${RUNS:-5}
limit=${TIMEOUT:-20}
minizinc=$(command -v minizinc || true)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if [ ! -x "$tovik" ]; then
  echo "no tovik in $build (build it first, or name the build directory)" >&2
  exit 1
fi
if [ -z "$minizinc" ]; then
  echo "minizinc not installed (apt-get install minizinc flatzinc): its column stays empty" >&2
fi

if [ $# -gt 0 ]; then
  puzzles=("$@")
else
  puzzles=("$root"/examples/*.tvk "$here"/puzzles/*.tvk)
fi

# Median wall time in ms of RUNS runs of the command, or ">Ns" when a run
# exceeds the limit (no further runs then). The first run's output is kept in
# $scratch/out.
measure() {
  local times=() i start end status
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    timeout "$limit" "$@" >"$scratch/run" 2>/dev/null
    status=$?
    end=$(date +%s%N)
    [ "$i" -eq 0 ] && cp "$scratch/run" "$scratch/out"
    if [ "$status" -eq 124 ]; then
      echo ">${limit}s"
      return
    fi
    times+=($(((end - start) / 1000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.1f\n", t[int((NR + 1) / 2)] / 1000 }'
}

# The solution lines of a tovik run (after the two phase lines) or of a
# MiniZinc run (without its separators), sorted.
tovik_lines() { tail -n +3 "$1" | tr -d '\r' | sort; }
minizinc_lines() { grep -v -e '^----------$' -e '^==========$' "$1" | sort; }

ratio() {
  case "$1$2" in
    *'>'* | *-*) echo "-" ;;
    *) awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f\n", (b > 0 ? a / b : 0) }' ;;
  esac
}

printf '%-24s %12s %12s %12s %10s %10s  %s\n' puzzle "tovik ms" "--fast ms" "minizinc ms" "tovik/fast" "mzn/fast" "same lines"
for puzzle in "${puzzles[@]}"; do
  name=$(basename "$puzzle" .tvk)
  default=$(measure "$tovik" "$puzzle")
  default_finished=$([ "${default#>}" = "$default" ] && echo yes)
  tovik_lines "$scratch/out" >"$scratch/default"
  fast=$(measure "$tovik" --fast "$puzzle")
  tovik_lines "$scratch/out" >"$scratch/fast"
  same=yes
  if [ -n "$default_finished" ] && ! cmp -s "$scratch/default" "$scratch/fast"; then same=NO; fi
  model="${puzzle%.tvk}.mzn"
  mzn="-"
  if [ -n "$minizinc" ] && [ -f "$model" ]; then
    mzn=$(measure "$minizinc" --solver gecode --all-solutions "$model")
    minizinc_lines "$scratch/out" >"$scratch/mzn"
    cmp -s "$scratch/mzn" "$scratch/fast" || same=NO
  fi
  printf '%-24s %12s %12s %12s %10s %10s  %s\n' "$name" "$default" "$fast" "$mzn" \
    "$(ratio "$default" "$fast")" "$(ratio "$mzn" "$fast")" "$same"
done
