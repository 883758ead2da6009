# Two commands for a newcomer: `make run` and `make test`. Everything else is a helper.
.PHONY: all deps build run test test-desktops bench package package-test clean

JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

all: build

deps:
	@scripts/install-deps

build: deps
	@[ -f build/build.ninja ] || cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then echo "make run: no display (neither WAYLAND_DISPLAY nor DISPLAY is set); start Slateboard from a desktop session" >&2; exit 1; fi
	@./build/slateboard

test: build
	@[ -f build-sanitize/build.ninja ] || cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize -j $(JOBS) --target unit_tests
	@cd build-sanitize && ctest -L unit --output-on-failure
	@ctest --preset default -LE matrix

# The end-to-end tests under every window manager of the matrix, on one and on two monitors.
test-desktops: build
	@scripts/install-deps desktops
	@ctest --preset default -L e2e

bench: deps
	@[ -f build-bench/build.ninja ] || cmake --preset bench >/dev/null
	@cmake --build --preset bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" || exit 1; fi; done
	@bash bench/end_to_end.sh build-bench/slateboard

package: build
	@cd build && cpack -G DEB

# Installs the package on a fresh Debian 12 (debootstrap, needs root and the Debian mirror).
package-test: package
	@command -v debootstrap >/dev/null || $(SUDO) apt-get install -y -qq debootstrap
	@$(SUDO) bash tests/package/test_package.sh build/slateboard_$$(sed -n 's/^project(slateboard VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)_amd64.deb

clean:
	rm -rf build build-sanitize build-bench
