#!/usr/bin/env python3
"""Checks that the language guides show exactly what examples/guide/ holds.

In docs/语言指南.md and docs/language-guide.md, a fenced block whose previous
line is an HTML comment naming a file under examples/guide/ is tied to that
file:

    <!-- examples/guide/houses-1.tvk -->
    ```tovik
    ...the puzzle, exactly as in the file...
    ```

    <!-- examples/guide/houses-1.out -->
    ```text
    ...what tovik prints for it, with LF line ends...
    ```

A .tvk block must equal the puzzle file's text; a .out block must equal the
golden output with CR LF turned into LF. Both are compared as decoded text, in
the encoding tovik itself would pick for the puzzle (UTF-8 when the file starts
with a byte-order mark or is valid UTF-8 holding a multi-byte sequence, GBK
otherwise; the output follows its puzzle). The golden-file test runs tovik on
every examples/guide/NAME.tvk and compares NAME.out, so together the two checks
keep every shown puzzle and output in step with the interpreter.

Also checked: both guides tie blocks to the same files; every puzzle under
examples/guide/ is shown (or, if too long to print, its output); every shown puzzle has its output file and shows its
output; and each guide shows every compile-error message in some output.

    check_guides.py [REPOSITORY_ROOT]    (default: the folder above this script)

Exits 0 when everything agrees, 1 otherwise, listing each problem.
"""

import pathlib
import re
import sys

GUIDES = ("docs/语言指南.md", "docs/language-guide.md")
EXAMPLES = "examples/guide"

# Every message a compile error can carry; each guide shows each one
# produced by an example.
COMPILE_ERRORS = (
    "parse error",
    "parser stack overflow",
    "集合已经定义",
    "集合没有定义",
    "集合至少需要两个不同的值",
    "变量已经定义",
    "变量没有定义",
    "语法错误",
    "下标越界",
    "可能导致下标越界",
    "永假的表达式",
    "错误的输出要求",
    "数值超出范围",
)

MARKER = re.compile(r"^<!--\s*(examples/guide/[^\s>]+\.(?:tvk|out))\s*-->$")
FENCE = re.compile(r"^(`{3,}|~{3,})(.*)$")
ERROR_LINE = re.compile(r"^\d+ 行: (.*) $")


def puzzle_encoding(data):
    """The encoding tovik picks for a puzzle file's bytes."""
    if data.startswith(b"\xef\xbb\xbf"):
        return "utf-8-sig"
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        return "gb18030"
    return "utf-8" if any(ord(c) > 0x7F for c in text) else "gb18030"


def tied_blocks(guide, problems):
    """Yields (file, line number, block text) for each marked block."""
    lines = guide.read_text(encoding="utf-8").split("\n")
    i = 0
    while i < len(lines):
        marker = MARKER.match(lines[i].strip())
        if not marker:
            i += 1
            continue
        name = marker.group(1)
        opening = FENCE.match(lines[i + 1]) if i + 1 < len(lines) else None
        if not opening:
            problems.append(f"{guide}:{i + 1}: {name} is not followed by a fenced block")
            i += 1
            continue
        fence = opening.group(1)
        end = i + 2
        while end < len(lines) and lines[end].rstrip() != fence:
            end += 1
        if end == len(lines):
            problems.append(f"{guide}:{i + 2}: the block for {name} is never closed")
            return
        yield name, i + 2, "".join(line + "\n" for line in lines[i + 2:end])
        i = end + 1


def decoded(path, encoding_of):
    return path.read_bytes().decode(encoding_of)


def check_guide(root, guide_name, problems):
    """Checks one guide; returns the set of files it ties blocks to."""
    guide = root / guide_name
    if not guide.is_file():
        problems.append(f"{guide_name}: missing")
        return set()
    shown = set()
    messages = set()
    for name, line, block in tied_blocks(guide, problems):
        where = f"{guide_name}:{line}"
        if name in shown:
            problems.append(f"{where}: {name} is shown twice")
        shown.add(name)
        path = root / name
        puzzle = path.with_suffix(".tvk")
        if not path.is_file() or not puzzle.is_file():
            problems.append(f"{where}: {name} (or its puzzle) does not exist")
            continue
        encoding = puzzle_encoding(puzzle.read_bytes())
        try:
            expected = decoded(path, encoding)
        except UnicodeDecodeError as error:
            problems.append(f"{where}: {name} is not valid {encoding}: {error}")
            continue
        if name.endswith(".out"):
            expected = expected.replace("\r\n", "\n")
            for out_line in expected.split("\n"):
                error_line = ERROR_LINE.match(out_line)
                if error_line:
                    messages.add(error_line.group(1))
        if block != expected:
            problems.append(f"{where}: the block differs from {name}\n"
                            + first_difference(expected, block))
    for name in sorted(shown):
        if name.endswith(".tvk") and name[:-4] + ".out" not in shown:
            problems.append(f"{guide_name}: shows {name} but not its output")
    for message in COMPILE_ERRORS:
        if message not in messages:
            problems.append(f"{guide_name}: no shown output carries the compile error "
                            f"\"{message}\"")
    return shown


def first_difference(expected, actual):
    want, got = expected.split("\n"), actual.split("\n")
    for n, (a, b) in enumerate(zip(want, got), 1):
        if a != b:
            return f"  line {n} of the block: file has {a!r}, guide has {b!r}"
    return f"  the file has {len(want) - 1} lines, the block {len(got) - 1}"


def main(argv):
    root = pathlib.Path(argv[1]) if len(argv) > 1 else pathlib.Path(__file__).resolve().parents[1]
    problems = []
    shown = [check_guide(root, guide, problems) for guide in GUIDES]
    for name in sorted(shown[0] ^ shown[1]):
        where = GUIDES[0] if name in shown[0] else GUIDES[1]
        problems.append(f"{name} is shown only in {where}; both guides show the same examples")
    everything = shown[0] | shown[1]
    for puzzle in sorted((root / EXAMPLES).glob("**/*.tvk")):
        name = puzzle.relative_to(root).as_posix()
        # A puzzle too long to print (deep nesting) may show its output alone.
        if name not in everything and name[:-4] + ".out" not in everything:
            problems.append(f"{name} is shown in no guide")
        if not puzzle.with_suffix(".out").is_file():
            problems.append(f"{name} has no .out beside it, so no test runs it")
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} problem(s): the guides and {EXAMPLES}/ have drifted apart")
        return 1
    print(f"ok: {len(everything)} blocks of both guides match {EXAMPLES}/")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
