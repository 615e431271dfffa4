# The two commands a user needs are `make run` and `make test`; both install
# whatever Debian packages are missing first, each only what it needs.

PRESET := default
BUILD  := build/$(PRESET)

.PHONY: all deps build run test bench lint format screenshots package fuzz soak sanitize coverage windows test-windows test-web clean

all: build

# Everything the tests, benchmarks, lint, sanitizers and fuzzers need.
deps:
	@scripts/install-deps test

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

# Only the compiler, CMake and Qt, and only the program is built.
run:
	@scripts/install-deps run
	@cmake --preset program >/dev/null
	@cmake --build --preset program
	@build/program/app/kalvoran

test: deps
	@cmake --workflow --preset $(PRESET)

bench: build
	@scripts/bench

# A release build without -Werror, hardened and stripped, with its debug
# information in a separate kalvoran-dbgsym package.
package:
	@scripts/install-deps package
	@cmake --preset package >/dev/null
	@cmake --build --preset package
	@cd build/package && cpack -G DEB

# Kalvoran for Windows x86-64, cross-built: build/windows/ gets a portable zip
# and an installer. The first run also builds the Windows Qt (about half an
# hour on two cores, a progress line every 30 s) into a cache outside the tree.
windows:
	@scripts/windows

# The Windows build's unit tests and the installed program, under Wine.
test-windows: windows
	@scripts/test-windows

# The page (build/web/kalvoran.html) in Chromium and Firefox ESR.
test-web:
	@scripts/install-deps web-test
	@scripts/test-web

fuzz: deps
	@scripts/fuzz 60

# The random-user test at length: 300000 actions, from the seed in
# KALVORAN_RANDOM_USER_SEED when set. Fails when the memory held grows by more
# than 4 MiB from the end of the warm-up to the end.
soak: build
	@KALVORAN_RANDOM_USER_ACTIONS=300000 KALVORAN_RANDOM_USER_MAX_GROWTH_KIB=4096 \
		$(BUILD)/tests/app/random_user_tests

# Every test under AddressSanitizer, LeakSanitizer and UBSan, but the native
# Wayland desktop test: Qt's Wayland platform leaves libwayland-client
# allocations behind at exit, which LeakSanitizer reports and, the plugin being
# unloaded by then, cannot name for a suppression. XWayland is tested. The
# screen-reader test runs without the leak check: tests/e2e/CMakeLists.txt says why.
sanitize: deps
	@cmake --workflow --preset asan

# Line and branch coverage of calc/, with the figures it must reach.
coverage: deps
	@scripts/coverage

screenshots: build
	@scripts/screenshots

lint: build
	@scripts/lint

format: deps
	@git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
