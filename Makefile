# Thin wrapper around the CMake presets (CMakePresets.json), for newcomers
# and CI alike:
#   make run    install dependencies, build, start the game
#   make test   install dependencies, build, run every test
# PRESET picks the build: default (build/), dev (build-dev/, Debug) or ci
# (build-ci/: Debug, AddressSanitizer, UBSan, warnings as errors; what
# .ci/run uses).

PRESET ?= default
BUILD_DIR = $(if $(filter default,$(PRESET)),build,build-$(PRESET))

FORMAT_FILES = $(shell git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')

.PHONY: deps build run test bench fuzz format format-check clean

deps:
	./scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/stakko

test: deps
	cmake --workflow --preset $(PRESET)

bench: deps
	cmake --preset bench
	cmake --build --preset bench

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz

format:
	clang-format -i $(FORMAT_FILES)

format-check:
	@clang-format --dry-run --Werror $(FORMAT_FILES) && echo "format-check: all files formatted"

# Every folder the presets build into.
clean:
	rm -rf build build-dev build-ci build-bench build-fuzz
