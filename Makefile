# The two commands a user needs are `make run` and `make test`; both install
# whatever Debian packages are missing first.

PRESET := default
BUILD  := build/$(PRESET)

.PHONY: all deps build run test bench lint format screenshots package fuzz clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

run: build
	@$(BUILD)/app/kalvoran

test: deps
	@cmake --workflow --preset $(PRESET)

bench: build
	@$(BUILD)/bench/calc_bench

package: build
	@cd $(BUILD) && cpack -G DEB

fuzz: deps
	@scripts/fuzz 60

screenshots: build
	@scripts/screenshots

lint: build
	@scripts/lint

format: deps
	@git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
