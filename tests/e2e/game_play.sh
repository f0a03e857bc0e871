#!/usr/bin/env bash
# Plays the built game in a virtual X server: the window appears with its
# layout, a coloured piece falls in the well and shows in the preview, the
# keys reach the game without any window manager (drop, pause, resume), and
# "&Ende" closes the program cleanly.
# Usage: game_play.sh <path to stakko>
set -euo pipefail

STAKKO=$(realpath "$1")
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool import convert compare
start_xvfb 1024x768x24

"$STAKKO" >"$WORK/game.log" 2>&1 &
GAME_PID=$!

WID=$(timeout 30 xdotool search --sync --onlyvisible --name '^Stakko$' | head -n1) ||
    fail "the window did not appear"

# The smallest layout: CellSize 20, a well of 184 x 404 at (0, 2), the side
# panel at left 186, a client area of 378 x 408.
eval "$(xdotool getwindowgeometry --shell "$WID")"
[[ $WIDTH == 378 && $HEIGHT == 408 ]] || fail "client area is ${WIDTH}x$HEIGHT, not 378x408"

shot() { # shot <name>: the window's client area
    import -window root "$WORK/root.png"
    convert "$WORK/root.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$WORK/$1.png"
}
pixel() { # pixel <shot> <x> <y>: RRGGBB
    convert "$WORK/$1.png" -format "%[hex:p{$2,$3}]" info:
}
has_piece_colour() { # has_piece_colour <shot> <geometry>
    convert "$WORK/$1.png" -crop "$2" +repage -format %c histogram:info:- |
        grep -Eiq '#(0000FF|00C000|00C0C0|C00000|A0C000|FF8000|FFFF00)'
}
WELL=184x404+0+2
BOTTOM_ROW=180x19+4+386
PREVIEW=94x73+197+312

# The first frame: the well drawn, a piece in it and in the preview.
first_frame() {
    shot start
    [[ $(pixel start 6 8) == ABABAB ]] && has_piece_colour start "$WELL" &&
        has_piece_colour start "$PREVIEW"
}
wait_until 10 first_frame || true
[[ $(pixel start 6 8) == ABABAB ]] || fail "empty well cell is $(pixel start 6 8), not ABABAB"
[[ $(pixel start 185 200) == F0F0F0 ]] || fail "the form is $(pixel start 185 200), not F0F0F0"
has_piece_colour start "$WELL" || fail "no coloured piece in the well"
has_piece_colour start "$PREVIEW" || fail "no coloured piece in the preview"
! has_piece_colour start "$BOTTOM_ROW" || fail "the bottom row is not empty at the start"

# The window has the keyboard without a window manager: Space drops.
xdotool key space
dropped() { shot dropped && has_piece_colour dropped "$BOTTOM_ROW"; }
wait_until 5 dropped || fail "Space did not drop the piece to the bottom"

# Escape pauses (after at most one more fall step); the picture then stands
# still, which takes a look over more than one fall period to tell.
same() { [[ $(compare -metric AE "$WORK/$1.png" "$WORK/$2.png" null: 2>&1) == 0 ]]; }
xdotool key Escape
settled() { shot paused1 && sleep 1.2 && shot paused2 && same paused1 paused2; }
wait_until 6 settled || fail "the game went on while paused"
sleep 1.5
shot paused3
same paused2 paused3 || fail "the game went on while paused"
xdotool key Escape
moved() { shot resumed && ! same paused3 resumed; }
wait_until 5 moved || fail "the game did not resume after the second Escape"

# Alt+E presses "&Ende" and the program ends normally.
xdotool key alt+e
expect_game_ended "Alt+E"
echo "PASS"
