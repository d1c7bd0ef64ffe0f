#!/usr/bin/env bash
# Fails when the interpreter's compiled objects hold mutable static storage:
# a writable namespace-scope or static variable (in .data or .bss, or
# thread-local), whatever the source calls it. The one allowed is the
# console's signal flag, the only thing a signal handler may set. Also
# ignored: what the compiler and the standard headers add by themselves
# (exception-handling references, <iostream>'s initialiser).
#   scripts/check-state.sh [BUILD_DIR]    (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

# The core and fast libraries as linked, and the console program's own objects.
objects=$(ls "$build"/src/libtovikcore.a "$build"/src/libtovikfast.a \
             "$build"/src/CMakeFiles/tovik.dir/app/*.o 2>/dev/null || true)
if [ -z "$objects" ]; then
  echo "check-state: no objects under $build/src; build first" >&2
  exit 1
fi

found=$(objdump -t $objects |
  grep -E '\sO\s+\.(bss|data|tbss|tdata)(\.[^[:space:]]*)?\s' |
  grep -v '\.data\.rel\.ro' |
  awk '{print $NF}' | c++filt |
  grep -vE '^(DW\.ref\..*|std::__ioinit|ConsoleEngine::s_interrupted)$' || true)

if [ -n "$found" ]; then
  echo "check-state: mutable static storage in the interpreter:"
  echo "$found" | sort -u | sed 's/^/  /'
  exit 1
fi
echo "check-state: no mutable static storage besides the console's signal flag"
