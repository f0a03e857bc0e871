#!/usr/bin/env bash
# Installs the common library's development component into a temporary
# prefix and builds a console program outside the tree against it, once
# with find_package(QzCommon) and once with pkg-config. Both must link
# without Qt's widget modules and run: write and read an INI file, load a
# text file.
# Usage: library_package.sh <build folder> <source folder> [compile flags]
set -euo pipefail

BUILD=$(realpath "$1")
SOURCE=$(realpath "$2")
FLAGS=${3:-}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
PREFIX=$WORK/prefix

cmake --install "$BUILD" --component qzcommon-dev --prefix "$PREFIX" >"$WORK/install.log" ||
    fail "installing the library failed: $(cat "$WORK/install.log")"
[[ ! -e $PREFIX/bin/stakko ]] || fail "the library component installs the game"
if find "$PREFIX/include" -name '*_p.h' | grep -q .; then
    fail "private headers are installed"
fi

# The same program twice; each writes its own files and must say the same.
check_run() {
    local program=$1 name=$2
    printf 'Grüße aus der Werkstatt\n' >"$WORK/$name.txt"
    local said
    said=$("$program" "$WORK/$name.ini" "$WORK/$name.txt") || fail "$name: the program failed"
    [[ $said == "Jürgen 452 Grüße aus der Werkstatt" ]] || fail "$name: it said '$said'"
    grep -q '^Punkte=452' "$WORK/$name.ini" || fail "$name: the INI file lacks the entry"
    if ldd "$program" | grep -q -E 'libQt6(Gui|Widgets|Multimedia)'; then
        fail "$name: a console program links Qt's widget modules"
    fi
}

cmake -S "$SOURCE/tests/install/consumer" -B "$WORK/cmake-build" \
    -DCMAKE_PREFIX_PATH="$PREFIX" -DCMAKE_CXX_FLAGS="$FLAGS" \
    -DCMAKE_EXE_LINKER_FLAGS="$FLAGS" >"$WORK/configure.log" 2>&1 ||
    fail "find_package(QzCommon) failed: $(cat "$WORK/configure.log")"
cmake --build "$WORK/cmake-build" >"$WORK/build.log" 2>&1 ||
    fail "the CMake build failed: $(cat "$WORK/build.log")"
check_run "$WORK/cmake-build/consumer" cmake

export PKG_CONFIG_PATH="$PREFIX/lib/pkgconfig${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}"
# shellcheck disable=SC2046,SC2086
c++ -std=c++20 -fPIC $FLAGS "$SOURCE/tests/install/consumer/main.cpp" -o "$WORK/pkgconfig-consumer" \
    $(pkg-config --cflags --libs qzcommon) >"$WORK/pkgconfig.log" 2>&1 ||
    fail "the pkg-config build failed: $(cat "$WORK/pkgconfig.log")"
check_run "$WORK/pkgconfig-consumer" pkgconfig
echo "PASS"
