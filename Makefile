# Entry points of the README's quick start: `make run` and `make test`.
# Both install what is missing (scripts/setup.sh) and build before doing their job.

JOBS ?= $(shell nproc)
EXAMPLE ?= examples/worked.tvk
PORT ?= 8080

.PHONY: setup build build-asan build-nofast build-release lint run test web web-serve web-test package clean

setup:
	bash scripts/setup.sh

build: setup
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

build-asan: setup
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

# The core and its tests without Gecode.
build-nofast: setup
	cmake --preset nofast
	cmake --build --preset nofast -j $(JOBS)

# The whole tree as anyone would build it: no preset, no warnings as errors.
build-release: setup
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release
	cmake --build build-release -j $(JOBS)

# One style, a small clang-tidy check set, one-way includes, no mutable
# static storage in the interpreter.
lint: build
	bash scripts/check-format.sh
	bash scripts/check-includes.sh
	bash scripts/check-state.sh build
	bash scripts/check-tidy.sh build

run: build
	./build/tovik $(EXAMPLE)

# The checks, the package, the fuzzers and the web tests run first, so that
# the run ends with the test suite's own summary. The plain Release build runs
# the golden cases and the README's embedding example.
test: build build-asan build-nofast build-release lint web
	bash packaging/check-package.sh
	bash fuzz/run.sh 60
	$(MAKE) --no-print-directory web-test
	ctest --test-dir build-release -j $(JOBS) --output-on-failure -R '^(e2e\.Golden|embedding_example)'
	ctest --preset nofast -j $(JOBS)
	ctest --preset asan -j $(JOBS)
	ctest --preset default -j $(JOBS)

# The playground page: the interpreter in WebAssembly and the page's files,
# in build-web/site.
web: setup
	JOBS=$(JOBS) bash web/build.sh

# Serves the page on 127.0.0.1 only: http://127.0.0.1:$(PORT)/
web-serve: web
	node web/tools/serve.mjs build-web/site $(PORT)

# The page's own tests, the WebAssembly build against the native one on every
# golden puzzle, and the page in headless Chromium (after make build and
# make web, which make test runs first).
web-test:
	node web/tests/page.test.mjs .
	node web/tests/compare.mjs build/tovik build-web/site .
	node web/tests/browser.mjs build-web/site build/tovik .

# The Debian package (build/tovik_VERSION_ARCH.deb).
package: build
	cd build && cpack -G DEB

clean:
	rm -rf build build-asan build-nofast build-release build-fuzz build-web
