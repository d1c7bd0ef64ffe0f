#!/usr/bin/env bash
# Builds the fuzz preset and runs both fuzz targets side by side for SECONDS
# each (default 60). Fails on any crash, leak or sanitizer report; the input
# that caused it is left in build-fuzz/artifacts/ and belongs in
# fuzz/regressions/ once the fault is fixed. A slow input (a time-out or the
# memory limit: puzzles whose compile phase legitimately multiplies out to
# billions of values or clauses) is reported and kept, but does not fail the run.
#   fuzz/run.sh [SECONDS] [extra libFuzzer flags...]
set -uo pipefail

seconds=${1:-60}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

cmake --preset fuzz -S "$root" >/dev/null || exit 1
cmake --build "$build" -j2 --target compile_fuzzer search_fuzzer >/dev/null || exit 1

# Seed corpus: every puzzle of the examples and the end-to-end cases, and every
# kept regression input. Copies live in the build folder only; what the fuzzer
# adds there persists from run to run.
for target in compile search; do
  corpus=$build/corpus/$target
  rm -rf "$build/artifacts/$target"
  mkdir -p "$corpus" "$build/artifacts/$target"
  find "$root/examples" "$root/tests/e2e/cases" -name '*.tvk' -exec cp -f {} "$corpus/" \;
  find "$root/fuzz/regressions" -type f ! -name README.md -exec cp -f {} "$corpus/" \;
done

pids=()
for target in compile search; do
  "$build/${target}_fuzzer" "$build/corpus/$target" \
    -dict="$root/fuzz/tovik.dict" \
    -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$target/" -print_final_stats=1 "$@" \
    >"$build/$target.log" 2>&1 &
  pids+=($!)
done

status=0
i=0
for target in compile search; do
  wait "${pids[$i]}"
  rc=$?
  i=$((i + 1))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$target.log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$build/$target.log")
  echo "${target}_fuzzer: exit $rc, ${execs:-?} executions, ${rate:-?} per second"
  # libFuzzer exits non-zero on a crash, leak, timeout or out-of-memory; a
  # sanitizer report without a crash is caught by its banner, and one that a
  # worker of -fork mode survived by the input it left behind.
  slow=$(ls "$build/artifacts/$target" | grep -E '^(timeout|oom|slow-unit)-' || true)
  other=$(ls "$build/artifacts/$target" | grep -vE '^(timeout|oom|slow-unit)-' || true)
  if [ -n "$slow" ] && [ -z "$other" ] &&
     ! grep -qE '^==[0-9]+==ERROR|runtime error:|SUMMARY: (Address|UndefinedBehavior|Leak)Sanitizer' "$build/$target.log"; then
    echo "${target}_fuzzer: slow input kept (not a failure): $(echo $slow)"
    continue
  fi
  if [ "$rc" -ne 0 ] || grep -qE '^(==[0-9]+==ERROR|SUMMARY: )|runtime error:' "$build/$target.log" ||
     [ -n "$other" ]; then
    status=1
    echo "---- $build/$target.log (last 60 lines) ----"
    tail -n 60 "$build/$target.log"
    ls -l "$build/artifacts/$target"
  fi
done
exit $status
