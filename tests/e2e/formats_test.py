#!/usr/bin/env python3
"""The machine-readable formats against the text format, read with Python's
own json and csv modules, on puzzles with Chinese strings, arrays with string
keys, orderings, a GBK file and repeated lines.

    formats_test.py TOVIK REPOSITORY [--fast]

For each puzzle, each search (and --fast when given) and --limit, the text
run's solution lines are the reference: `lines` prints them in UTF-8 with LF,
`json` has one object per line with that line and a value for every
variable, then a summary, and `csv` has a header of the same variables and
one row per line with the same values.
"""

import csv
import io
import json
import subprocess
import sys

# Each puzzle with the variables json and csv must list for it.
PUZZLES = {
    "examples/podium.tvk": ["名次[甲]", "名次[乙]", "名次[丙]"],
    "examples/ranking.tvk": ["名次[甲]", "名次[乙]", "名次[丙]"],
    "examples/zebra.tvk": None,  # GBK; 25 variables
    "examples/queens.tvk": [f"q[{i}]" for i in range(1, 7)],
    "tests/e2e/cases/formats/csv_from_gbk.tvk": ["房[甲]", "房[乙, 丙]", "序[甲]", "序[乙, 丙]"],
    "tests/e2e/cases/search/duplicates.tvk": None,
}


def run(tovik, args):
    done = subprocess.run([tovik, *args], capture_output=True, timeout=60)
    if done.returncode != 0:
        raise AssertionError(f"tovik {' '.join(args)}: status {done.returncode}: {done.stderr!r}")
    return done.stdout


def text_lines(out):
    """The solution lines of a text run, decoded as the puzzle's encoding."""
    try:
        text = out.decode("utf-8")
    except UnicodeDecodeError:
        text = out.decode("gb18030")
    lines = text.split("\r\n")
    assert lines[-1] == "", "the text format ends every line with CR LF"
    return lines[2:-1]  # after the two phase lines


def check(tovik, puzzle, names, options):
    expected = text_lines(run(tovik, [*options, puzzle]))
    assert expected, "every puzzle here has solutions"

    lines = run(tovik, ["--format=lines", *options, puzzle]).decode("utf-8")
    assert lines == "".join(line + "\n" for line in expected), "lines"

    objects = [json.loads(line) for line in run(tovik, ["--format=json", *options, puzzle]).decode("utf-8").splitlines()]
    solutions, summary = objects[:-1], objects[-1]
    assert [o["type"] for o in solutions] == ["solution"] * len(expected)
    assert [o["line"] for o in solutions] == expected, "json lines"
    assert summary["type"] == "summary" and summary["solutions"] == len(expected), summary
    keys = list(solutions[0]["values"])
    assert names is None or keys == names, keys
    assert all(list(o["values"]) == keys for o in solutions), "every object has every variable"
    assert all(None not in o["values"].values() for o in solutions), "every variable has its value"

    rows = list(csv.reader(io.StringIO(run(tovik, ["--format=csv", *options, puzzle]).decode("utf-8"), newline="")))
    assert rows[0] == keys, rows[0]
    assert rows[1:] == [[str(v) for v in o["values"].values()] for o in solutions], "csv rows"
    return expected


def main(argv):
    tovik, root = argv[1], argv[2]
    searches = [[]] + ([["--fast"]] if "--fast" in argv[3:] else [])
    checks = failures = 0
    for puzzle, names in PUZZLES.items():
        found = {}
        for search in searches:
            for options in (search, [*search, "--limit=1"]):
                checks += 1
                try:
                    lines = check(tovik, f"{root}/{puzzle}", names, options)
                    if "--limit=1" not in options:
                        found[" ".join(search)] = sorted(lines)
                except AssertionError as error:
                    failures += 1
                    print(f"FAIL {puzzle} {' '.join(options)}: {error}")
        checks += 1
        if len({tuple(lines) for lines in found.values()}) > 1:
            failures += 1
            print(f"FAIL {puzzle}: --fast finds other lines than the default search")
    print(f"{checks - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
