# The two commands of the README: `make run` builds and starts the program,
# `make test` builds and runs the tests. Both install missing Debian packages first.
PRESET ?= default
BUILD  := build/$(PRESET)
ARGS   ?=

.PHONY: all deps configure build run test test-asan fuzz bench format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

run: build
	$(BUILD)/src/talvexchat $(ARGS)

test: build
	@ctest --preset $(PRESET) -j2

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
