#!/usr/bin/env bash
# Nothing is lost when the session ends at an awkward moment: SIGTERM (what
# a logout or a shutdown sends) and SIGHUP while "Name des Gewinners" is
# open, with a name typed but not confirmed, store the record with that
# name and end the game cleanly; SIGTERM while the start-up shows a message
# box ends the program there, at once and cleanly.
#
#   record_on_logout.sh <record driver> <stakko program>
set -euo pipefail

DRIVER=$(realpath "$1")
STAKKO=$(realpath "$2")
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool
start_xvfb 1024x768x24

DIR=$HOME/.config/Vomb
mkdir -p "$DIR"

for SIGNAL in TERM HUP; do
    INI=$DIR/$(basename "$DRIVER").ini
    printf '\xEF\xBB\xBF[_Stakko]\r\nwithSound=0\r\n\r\n[Score]\r\nBest=Anna\r\nHighest=100\r\n\r\n' >"$INI"
    "$DRIVER" >"$WORK/game.log" 2>&1 &
    GAME_PID=$!
    timeout 30 xdotool search --sync --onlyvisible --pid "$GAME_PID" --name '^Stakko$' \
        >/dev/null || fail "the window did not appear"
    sleep 0.5
    xdotool key space
    timeout 10 xdotool search --sync --onlyvisible --pid "$GAME_PID" \
        --name '^Name des Gewinners$' >/dev/null || fail "no record dialog after the 25th row"
    sleep 0.3
    xdotool type --delay 30 'Carla'
    sleep 0.3
    grep -q $'^Highest=100\r$' "$INI" || fail "the record was stored before the signal"
    kill -"$SIGNAL" "$GAME_PID"
    expect_status "SIG$SIGNAL during the record dialog" 0
    grep -q $'^Best=Carla\r$' "$INI" || fail "SIG$SIGNAL lost the name: $(cat -A "$INI")"
    grep -q $'^Highest=452\r$' "$INI" || fail "SIG$SIGNAL lost the points: $(cat -A "$INI")"
done

# A settings file with a line that cannot be decoded: the start-up says so
# in a message box before the window exists.
INI=$DIR/$(basename "$STAKKO").ini
printf '\xEF\xBB\xBF[Score]\r\nBest=\xFF\r\n' >"$INI"
"$STAKKO" >"$WORK/game.log" 2>&1 &
GAME_PID=$!
BOX=$(timeout 30 xdotool search --sync --onlyvisible --pid "$GAME_PID" --name . | head -n1) ||
    fail "no start-up message box"
# (xdotool's names ignore case, the box's caption "stakko" is not the window's "Stakko")
[[ $(xdotool getwindowname "$BOX") == "$(basename "$STAKKO")" ]] ||
    fail "the first window is \"$(xdotool getwindowname "$BOX")\", not the start-up message box"
kill -TERM "$GAME_PID"
expect_status "SIGTERM during a start-up message box" 0
echo "PASS"
