#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the interpreter's own
# sources (not the generated scanner and parser), two files at a time.
#   scripts/check-tidy.sh [BUILD_DIR]    (a configured build: compile_commands.json)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "check-tidy: no $build/compile_commands.json; configure first" >&2
  exit 1
fi
# The generated parser.h must exist for the scanner's includes.
cmake --build "$build" --target tovikcore >/dev/null
git ls-files 'src/*.cpp' | grep -v '^src/gui/' |
  xargs -P 2 -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "check-tidy: clean"
