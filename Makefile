# Thin wrapper around CMake for newcomers and CI.
#   make run    install dependencies, build, start the game
#   make test   install dependencies, build, run every test
# Variables: BUILD (build folder), SANITIZE=ON, WERROR=ON.

BUILD    ?= build
SANITIZE ?= OFF
WERROR   ?= OFF
TYPE     ?= RelWithDebInfo

CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE) \
              -DSTAKKO_SANITIZE=$(SANITIZE) -DSTAKKO_WERROR=$(WERROR)

FORMAT_FILES = $(shell git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')

.PHONY: deps configure build run test bench fuzz format format-check clean

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/stakko

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j2

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DSTAKKO_BUILD_BENCH=ON -DSTAKKO_BUILD_TESTS=OFF
	cmake --build build-bench

fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTAKKO_BUILD_FUZZ=ON -DSTAKKO_BUILD_TESTS=OFF
	cmake --build build-fuzz

format:
	clang-format -i $(FORMAT_FILES)

format-check:
	clang-format --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf build build-bench build-fuzz build-ci
