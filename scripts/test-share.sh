#!/usr/bin/env bash
# Prints the test share of the tree: test lines over all code lines.
#
# Counted: files tracked by git that are code: C++ (.cpp .h), the scanner
# and grammar (.l .y), CMake (CMakeLists.txt, .cmake), shell (.sh, .ci/run,
# Makefile), Python (.py) and the playground's JavaScript (.js .mjs; its
# HTML and CSS are counted as code too). Lines that are blank or only a comment (// and
# /* */ blocks in C++, # elsewhere) are not counted. Data is not code: puzzle
# files, golden outputs, Markdown, JSON presets, images.
#
# Test code is everything under tests/, fuzz/ and web/tests/ (the fuzz
# targets and their scripts exist only to test). Everything else counts as code, tests'
# tools included: scripts/ (setup, CI checks, this script), tools/ (the data
# checkers and the stress script), bench/, packaging/ and the build files.
# --by-folder lists the lines per folder.
#   scripts/test-share.sh [--by-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
python3 - "$@" <<'PY'
import os, subprocess, sys
by_folder = "--by-folder" in sys.argv[1:]

def kind(path):
    name = os.path.basename(path)
    if path.endswith((".cpp", ".h", ".l", ".y", ".js", ".mjs", ".css")):
        return "c"
    if path.endswith((".sh", ".py", ".cmake")) or name in ("CMakeLists.txt", "Makefile", "run"):
        return "hash"
    if path.endswith(".html"):
        return "markup"
    return None

def count(path, k):
    n, block = 0, False
    for line in open(path, encoding="utf-8", errors="replace"):
        s = line.strip()
        if k == "c":
            if block:
                if "*/" not in s:
                    continue
                block, s = False, s.split("*/", 1)[1].strip()
            if s.startswith("/*"):
                if "*/" not in s:
                    block = True
                    continue
                s = s.split("*/", 1)[1].strip()
            if not s or s.startswith("//"):
                continue
        elif k == "markup":
            if not s or s.startswith("<!--"):
                continue
        elif not s or s.startswith("#"):
            continue
        n += 1
    return n

folders = {}
for path in subprocess.run(["git", "ls-files"], capture_output=True, text=True, check=True).stdout.split("\n"):
    k = kind(path)
    if not path or not k or (path == "run" and not path.startswith(".ci/")):
        continue
    parts = path.split("/")
    folder = "/".join(parts[:2]) if len(parts) > 2 else (parts[0] if len(parts) > 1 else ".")
    folders[folder] = folders.get(folder, 0) + count(path, k)

def is_test(folder):
    return folder.split("/")[0] in ("tests", "fuzz") or folder == "web/tests"

tests = sum(n for f, n in folders.items() if is_test(f))
total = sum(folders.values())
gui_tests = folders.get("tests/gui", 0)
gui_code = folders.get("src/gui", 0)
if by_folder:
    for f in sorted(folders):
        print(f"{folders[f]:7}  {f}{'  (test)' if is_test(f) else ''}")
print("counted: non-blank, non-comment lines of the C++, flex, bison, CMake, shell,")
print("Python and JavaScript/CSS/HTML files tracked by git; test lines are those under")
print("tests/, fuzz/ and web/tests/, code lines those of every counted file (tools/,")
print("scripts/, bench/ are code, not tests)")
print(f"test share: {tests} of {total} code lines = {100 * tests / total:.1f}%")
print(f"without the editor (src/gui, tests/gui): {tests - gui_tests} of "
      f"{total - gui_tests - gui_code} = {100 * (tests - gui_tests) / (total - gui_tests - gui_code):.1f}%")
PY
