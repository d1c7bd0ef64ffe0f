#!/usr/bin/env bash
# Builds the playground into build-web/site: the interpreter compiled to
# WebAssembly with Debian's emscripten (no --fast search: Gecode is not built
# for the web), the page's static files, and the examples for its menu.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-web"

# The page's tests load its ES modules as they are, which needs node 20.19
# or newer (Debian 12's own nodejs is older).
if ! node -e 'const [a, b] = process.versions.node.split(".").map(Number); process.exit(a > 20 || (a === 20 && b >= 19) ? 0 : 1)'; then
  echo "web/build.sh: node 20.19 or newer is needed (found: $(node --version 2>/dev/null || echo none))" >&2
  exit 1
fi

# emcc's JavaScript tools load Debian's node modules, which a node from
# another source does not search by default.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

emcmake cmake -S "$root" -B "$out/wasm" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PROJECT_INCLUDE="$root/web/wasm.cmake" \
  -DTOVIK_FAST=OFF -DTOVIK_BUILD_GUI=OFF -DTOVIK_BUILD_TESTS=OFF -DTOVIK_BUILD_BENCH=OFF
cmake --build "$out/wasm" --target tovik -j "${JOBS:-2}"

rm -rf "$out/site"
mkdir -p "$out/site"
cp "$root"/web/site/* "$out/wasm/tovik.js" "$out/wasm/tovik.wasm" "$out/site/"
node "$root/web/tools/examples.mjs" "$root" "$out/site/examples.json"
echo "Built $out/site ($(stat -c %s "$out/site/tovik.wasm") bytes of WebAssembly)"
