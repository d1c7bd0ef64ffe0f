#!/bin/sh
# Checks the solution sets of the example puzzles against an independent
# brute-force solver (examples_oracle.py beside this script).
#
# For every examples/NAME.tvk that has a NAME.out, the solution lines of
# NAME.out (everything after the two phase lines, with the "\r\n" line ends
# reduced to "\n", in UTF-8 whatever the example's encoding) are sorted and compared with the sorted lines that
# "examples_oracle.py NAME" prints. The order of the lines is not checked here: the
# byte-for-byte comparison with the interpreter's output does that.
#
# Usage: check_examples.sh [EXAMPLES_DIR]    (default: the repository's examples/)
# Exits 0 when every example agrees, 1 otherwise.

here=$(cd "$(dirname "$0")" && pwd)
examples=${1:-$here/../examples}
python=${PYTHON:-python3}
oracle="$here/examples_oracle.py"
LC_ALL=C
export LC_ALL

tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT

# The two phase lines every successful run starts with, in UTF-8; a GBK
# example's output is converted to UTF-8 first.
printf '\346\255\243\345\234\250\347\274\226\350\257\221\342\200\246\342\200\246\r\n' >"$tmp/header"
printf '\346\255\243\345\234\250\346\220\234\347\264\242\342\200\246\342\200\246\r\n' >>"$tmp/header"

failures=0
checked=0
for tvk in "$examples"/*.tvk; do
    [ -e "$tvk" ] || continue
    name=$(basename "$tvk" .tvk)
    out="$examples/$name.out"
    [ -e "$out" ] || continue
    checked=$((checked + 1))

    # GBK phase lines are never valid UTF-8.
    iconv -f UTF-8 -t UTF-8 "$out" >"$tmp/out" 2>/dev/null ||
        iconv -f GB18030 -t UTF-8 "$out" >"$tmp/out"
    if ! head -c "$(wc -c <"$tmp/header")" "$tmp/out" | cmp -s - "$tmp/header"; then
        echo "FAIL $name: $name.out does not start with the two phase lines"
        failures=$((failures + 1))
        continue
    fi
    tail -n +3 "$tmp/out" | tr -d '\r' | sort >"$tmp/expected"
    if ! "$python" "$oracle" "$name" >"$tmp/oracle.raw"; then
        echo "FAIL $name: the oracle has no puzzle of that name, or failed"
        failures=$((failures + 1))
        continue
    fi
    sort "$tmp/oracle.raw" >"$tmp/oracle"
    if [ ! -s "$tmp/oracle" ]; then
        echo "FAIL $name: the oracle finds no solution"
        failures=$((failures + 1))
        continue
    fi
    if cmp -s "$tmp/expected" "$tmp/oracle"; then
        echo "ok   $name ($(wc -l <"$tmp/oracle") solution lines)"
    else
        echo "FAIL $name: solution lines of $name.out differ from the oracle's"
        echo "  (< $name.out, > oracle; UTF-8 text)"
        diff "$tmp/expected" "$tmp/oracle" | sed 's/^/  /'
        failures=$((failures + 1))
    fi
done

# Every puzzle the oracle knows must still have its example with a golden file.
for name in $("$python" "$oracle" --list); do
    if [ ! -e "$examples/$name.tvk" ] || [ ! -e "$examples/$name.out" ]; then
        echo "FAIL $name: the oracle knows it but examples/$name.tvk or .out is missing"
        failures=$((failures + 1))
    fi
done

if [ "$checked" -eq 0 ]; then
    echo "FAIL no examples found in $examples"
    exit 1
fi
if [ "$failures" -ne 0 ]; then
    echo "$failures of the examples disagree with the oracle"
    exit 1
fi
echo "all $checked examples agree with the oracle"
exit 0
