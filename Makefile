# Thin wrapper around the CMake presets (CMakePresets.json), for newcomers
# and CI alike:
#   make run    install dependencies, build, start the game
#   make test   install dependencies, build, run every test
# PRESET picks the build: default (build/), dev (build-dev/, Debug) or ci
# (build-ci/: Debug, AddressSanitizer, UBSan, warnings as errors; what
# .ci/run uses).

PRESET ?= default
BUILD_DIR = $(if $(filter default,$(PRESET)),build,build-$(PRESET))

FORMAT_FILES = $(shell git ls-files --cached --others --exclude-standard -- '*.c' '*.cpp' '*.h')

.PHONY: deps build run test package install bench fuzz fuzz-smoke soak format format-check clean

deps:
	./scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/stakko

test: deps
	cmake --workflow --preset $(PRESET)

# The Debian packages of the default build in build/: the game,
# stakko_<version>_<arch>.deb, and the common library for other programs,
# libqzcommon-dev_<version>_<arch>.deb
package: build
	cd $(BUILD_DIR) && cpack

# Installs into PREFIX (default /usr/local).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

bench: deps
	cmake --preset bench
	cmake --build --preset bench

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz

# Every fuzz target for FUZZ_SECONDS on its saved corpus (CI runs this).
FUZZ_SECONDS ?= 20
fuzz-smoke: fuzz
	./scripts/fuzz-smoke.sh build-fuzz/fuzz $(FUZZ_SECONDS)

# A long random session of the sanitizer build (CI runs a short one).
SOAK_SECONDS ?= 600
soak: deps
	cmake --preset ci
	cmake --build --preset ci --target stakko
	tests/e2e/soak.sh build-ci/stakko $(SOAK_SECONDS)

format:
	clang-format -i $(FORMAT_FILES)

format-check:
	@clang-format --dry-run --Werror $(FORMAT_FILES) && echo "format-check: all files formatted"

# Every folder the presets build into.
clean:
	rm -rf build build-dev build-ci build-bench build-fuzz
