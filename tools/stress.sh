#!/usr/bin/env bash
# Large inputs, beyond what the test suite runs in CI: each must either work in
# time proportional to its size or end with a clear message and status 2 when
# memory runs out, never with a signal. Prints time and peak memory per input.
#   tools/stress.sh [path/to/tovik]
set -uo pipefail
tovik=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/tovik}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

gen() {  # gen NAME PYTHON-EXPRESSION-PRINTING-THE-PUZZLE
  python3 -c "$2" > "$work/$1.tvk"
}

gen sum-chain-1M      "print('S{} = {[1, 3]};\nS a;\n' + ' + '.join(['a']*1000000) + ' = 2000000;\noutput {a}')"
gen and-chain-1M      "print('S{} = {[1, 3]};\nS a, b;\n' + ' & '.join(['a > b']*1000000) + ';\noutput {a b}')"
gen declarations-1M   "print(''.join('S%d{} = {1, 2};\n' % i for i in range(1000000)) + 'output {\"ok\"}')"
gen range-10M         "print('S{} = {[1, 10000000]};\nS x;\nx > 9999998;\noutput {x}')"
gen name-16MB         "n='n'*(16<<20); print('S{} = {1, 2};\nS ' + n + ';\n' + n + ' > 1;\noutput {\"' + 't'*(16<<20) + '\" ' + n + '}')"
gen expansion-1M      "print('S{} = {[1, 1000]};\nS a;\n# i in S, # j in S, a != i + j | i != j;\noutput {a}')"
gen variables-20k     "n=20000; print('S{} = {1, 2};\nS ' + ', '.join('x%d' % i for i in range(n)) + ';\n' + ''.join('x%d != x%d;\n' % (i, i+1) for i in range(n-1)) + 'output {x0 x%d}' % (n-1))"

status=0
printf '%-20s %8s %10s %6s\n' input seconds "peak KiB" status
for f in "$work"/*.tvk; do
  name=$(basename "$f" .tvk)
  /usr/bin/time -f '%e %M' -o "$work/time" "$tovik" "$f" > /dev/null 2> "$work/err"
  rc=$?
  read -r secs kib < "$work/time"
  printf '%-20s %8s %10s %6s\n' "$name" "$secs" "$kib" "$rc"
  if [ "$rc" -gt 2 ]; then status=1; cat "$work/err"; fi
done
exit $status
