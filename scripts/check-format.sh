#!/usr/bin/env bash
# Fails when a C++ source of the tree is not formatted by .clang-format
# (clang-format -i FILE fixes it).
#   scripts/check-format.sh
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "check-format: every C++ source is formatted"
