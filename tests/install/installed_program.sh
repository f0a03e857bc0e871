#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks that it holds exactly
# the expected files, then starts the installed program the way its desktop
# entry does (the entry's command, found on PATH) in a virtual X server:
# the window appears with the application icon, and "&Ende" ends it cleanly.
# Usage: installed_program.sh <build folder>
set -euo pipefail

BUILD=$(realpath "$1")
HERE=$(dirname "$(realpath "$0")")
source "$HERE/../e2e/xsession.sh"
require_tools cmake Xvfb xdotool xprop
PREFIX=$WORK/prefix

cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" ||
    fail "cmake --install failed: $(cat "$WORK/install.log")"
(cd "$PREFIX" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort) >"$WORK/files.txt"
LC_ALL=C sort "$HERE/expected_files.txt" | diff -u - "$WORK/files.txt" ||
    fail "the installed files differ from tests/install/expected_files.txt"

ENTRY=$PREFIX/share/applications/org.example.stakko.desktop
COMMAND=$(sed -n 's/^Exec=//p' "$ENTRY")
[[ -n $COMMAND ]] || fail "the desktop entry has no Exec line"

start_xvfb 1024x768x24
PATH="$PREFIX/bin:$PATH" $COMMAND >"$WORK/game.log" 2>&1 &
GAME_PID=$!
WID=$(timeout 30 xdotool search --sync --onlyvisible --name '^Stakko$' | head -n1) ||
    fail "the installed program showed no window"
has_icon() { xprop -id "$WID" _NET_WM_ICON | grep -q 'Icon ('; }
wait_until 5 has_icon || fail "the window carries no icon"

xdotool key --window "$WID" alt+e
expect_game_ended "Alt+E"
echo "PASS"
