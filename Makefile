# Entry points of the README's quick start: `make run` and `make test`.
# Both install what is missing (scripts/setup.sh) and build before doing their job.

JOBS ?= $(shell nproc)
EXAMPLE ?= examples/worked.tvk
PORT ?= 8080

.PHONY: setup build build-asan run test web web-serve web-test package clean

setup:
	bash scripts/setup.sh

build: setup
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

build-asan: setup
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

run: build
	./build/tovik $(EXAMPLE)

# The package check, the fuzzers and the web tests run first, so that the run
# ends with the test suite's own summary.
test: build build-asan web
	bash packaging/check-package.sh
	bash fuzz/run.sh 60
	$(MAKE) --no-print-directory web-test
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
	rm -rf build build-asan build-web
