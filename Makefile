# Entry points of the README's quick start: `make run` and `make test`.
# Both install what is missing (scripts/setup.sh) and build before doing their job.

JOBS ?= $(shell nproc)
EXAMPLE ?= examples/worked.tvk

.PHONY: setup build build-asan run test package clean

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

# The package check and the fuzzers run first, so that the run ends with the
# test suite's own summary.
test: build build-asan
	bash packaging/check-package.sh
	bash fuzz/run.sh 60
	ctest --preset asan -j $(JOBS)
	ctest --preset default -j $(JOBS)

# The Debian package (build/tovik_VERSION_ARCH.deb).
package: build
	cd build && cpack -G DEB

clean:
	rm -rf build build-asan
