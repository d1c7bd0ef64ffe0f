# Entry points of the README's quick start: `make run` and `make test`.
# Both install what is missing (scripts/setup.sh) and build before doing their job.

JOBS ?= $(shell nproc)
EXAMPLE ?= examples/worked.tvk

.PHONY: setup build build-asan build-nofast build-release lint run test package clean

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

# The checks, the package and the fuzzers run first, so that the run ends
# with the test suite's own summary. The plain Release build runs the golden
# cases and the README's embedding example.
test: build build-asan build-nofast build-release lint
	bash packaging/check-package.sh
	bash fuzz/run.sh 60
	ctest --test-dir build-release -j $(JOBS) --output-on-failure -R '^(e2e\.Golden|embedding_example)'
	ctest --preset nofast -j $(JOBS)
	ctest --preset asan -j $(JOBS)
	ctest --preset default -j $(JOBS)

# The Debian package (build/tovik_VERSION_ARCH.deb).
package: build
	cd build && cpack -G DEB

clean:
	rm -rf build build-asan build-nofast build-release build-fuzz
