# The two commands a user needs are `make run` and `make test`; both install
# whatever Debian packages are missing first.

PRESET := default
BUILD  := build/$(PRESET)

.PHONY: all deps build run test bench lint format clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

run: build
	@echo "Kalvoran has no windows yet: this build holds the calculation engine and its tests."
	@echo "Try 'make test' or 'make bench'."

test: deps
	@cmake --workflow --preset $(PRESET)

bench: build
	@$(BUILD)/bench/calc_bench

lint: build
	@scripts/lint

format: deps
	@git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
