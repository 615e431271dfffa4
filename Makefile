# The two commands a user needs are `make run` and `make test`. Every target
# installs the Debian packages it needs that are missing first, and only those
# (scripts/install-deps --dry-run TARGET lists them).

# The time every build stamps on what it makes: the release's changelog date,
# or the caller's SOURCE_DATE_EPOCH (scripts/source-date-epoch).
export SOURCE_DATE_EPOCH := $(shell scripts/source-date-epoch)
ifeq ($(SOURCE_DATE_EPOCH),)
$(error scripts/source-date-epoch gave no time; mend what it said above)
endif

PRESET := default
BUILD  := build/$(PRESET)

.PHONY: all deps build run test bench lint format screenshots package fuzz soak sanitize coverage windows test-windows web test-web arm64 test-arm64 clean

all: build

# Everything the tests, benchmarks, lint, sanitizers and fuzzers need.
deps:
	@scripts/install-deps test

# The compiler and the libraries; a target built on `build` installs its own
# group instead, which holds these (make passes DEPS on to prerequisites).
DEPS := build
bench: DEPS := bench
lint: DEPS := lint

build:
	@scripts/install-deps $(DEPS)
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
# information in kalvoran_VERSION_ARCH.debug beside the package.
# CPack gives the package's ar members the modes its temporary files got from
# the umask, hence 022: the same package whatever the caller's umask.
package:
	@scripts/install-deps package
	@cmake --preset package >/dev/null
	@cmake --build --preset package
	@cd build/package && umask 022 && cpack -G DEB

# Kalvoran for Windows x86-64, cross-built: build/windows/ gets a portable zip
# and an installer. The first run also builds the Windows Qt (about half an
# hour on two cores, a progress line every 30 s) into a cache outside the tree.
windows:
	@scripts/windows

# The Windows build's unit tests and the installed program, under Wine.
test-windows: windows
	@scripts/test-windows

# The browser edition in build/web/: its engine (WebAssembly), layout data
# and the page, kalvoran.html, with its SHA256SUMS.
web:
	@scripts/web
	@scripts/web-page
	@cd build/web && sha256sum kalvoran.html >SHA256SUMS

# The WebAssembly engine under Node against the native engine's corpus, then
# the page in Chromium and Firefox ESR.
test-web: web
	@tests/web/engine_corpus.sh
	@scripts/install-deps test-web
	@scripts/test-web

# Kalvoran for Debian 12 arm64, cross-built against Debian's arm64 Qt:
# build/arm64/ gets the program and kalvoran_VERSION_arm64.deb.
arm64:
	@scripts/arm64

# The arm64 build's unit tests, package checks and the program, under qemu.
test-arm64: arm64
	@scripts/test-arm64

fuzz: deps
	@scripts/fuzz 60

# The random-user test at length: 300000 actions, from the seed in
# KALVORAN_RANDOM_USER_SEED when set. Fails when the memory held grows by more
# than 4 MiB from the end of the warm-up to the end.
soak: build
	@KALVORAN_RANDOM_USER_ACTIONS=300000 KALVORAN_RANDOM_USER_MAX_GROWTH_KIB=4096 \
		$(BUILD)/tests/app/random_user_tests

# Every test under AddressSanitizer, LeakSanitizer and UBSan, but the native
# Wayland desktop test (XWayland is tested).
# Workaround: Qt 6.4's Wayland platform leaves libwayland-client allocations at
# exit, and, the plugin unloaded by then, no suppression can name them. No
# upstream report found; drop the asan preset's filter once it passes. The
# screen reader's test runs without the leak check (tests/e2e/CMakeLists.txt).
sanitize: deps
	@cmake --workflow --preset asan

# Line and branch coverage of calc/, with the figures it must reach.
coverage: deps
	@scripts/coverage

screenshots:
	@scripts/install-deps screenshots
	@scripts/screenshots

lint: build
	@scripts/lint

format:
	@scripts/install-deps format
	@git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
