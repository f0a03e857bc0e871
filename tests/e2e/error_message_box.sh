#!/bin/bash
# Runs the real program with a settings folder it cannot create (a plain
# file stands where ~/.config/Vomb should be, and an older settings file
# waits to be taken over): it must say so in the windowed message box,
# captioned with the program's name and centred on the 799 x 599 area at
# the origin (no window is open yet), and end with status 1 once the box
# is answered with Enter, without ever opening the game window.
#
#   error_message_box.sh <path of the stakko program>
set -euo pipefail

STAKKO=$1
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool
start_xvfb 1024x768x24

mkdir -p "$HOME/.config" "$HOME/.local/share/Vomb"
echo "no folder" >"$HOME/.config/Vomb"
printf '[_Stakko]\r\nwithSound=0\r\n' >"$HOME/.local/share/Vomb/stakko.ini"

"$STAKKO" >"$WORK/game.log" 2>&1 &
GAME_PID=$!
WIN=$(timeout 30 xdotool search --sync --onlyvisible --pid "$GAME_PID" --name . | head -n1) ||
    fail "no window appeared"
# xdotool matches names without regard to case; the caption must be the
# program's file name, "stakko", not the game window's title "Stakko".
NAMES=$(xdotool search --onlyvisible --pid "$GAME_PID" --name . getwindowname %@)
[ "$NAMES" = "stakko" ] || fail "expected only the message box captioned stakko, found: $NAMES"

eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ "$X" -eq $(((799 - WIDTH) / 2)) ] && [ "$Y" -eq $(((599 - HEIGHT) / 2)) ] ||
    fail "message box at $X,$Y size ${WIDTH}x$HEIGHT, not centred on (0,0)-(799,599)"

# Enter answers the default button, OK.
xdotool windowfocus --sync "$WIN" key Return
for _ in $(seq 100); do
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
done
status=0
wait "$GAME_PID" || status=$?
GAME_PID=
[ "$status" -eq 1 ] || fail "the program ended with status $status instead of 1"
echo "PASS"
