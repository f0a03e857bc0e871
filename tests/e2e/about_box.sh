#!/usr/bin/env bash
# "&Info" in the built game: the About box appears centred over the game
# with its gradient, the picture of the pieces, the blue links and its
# lines of text; Escape closes it, and the game has the keyboard again.
# Usage: about_box.sh <path to stakko> [screenshot to keep]
set -euo pipefail

STAKKO=$(realpath "$1")
KEEP=${2:-}
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool import convert
start_xvfb 1024x768x24

"$STAKKO" >"$WORK/game.log" 2>&1 &
GAME_PID=$!

WID=$(timeout 30 xdotool search --sync --onlyvisible --name '^Stakko$' | head -n1) ||
    fail "the window did not appear"
# Away from the desktop's edges, so the box can be centred on the game.
xdotool windowmove "$WID" 300 200
for _ in $(seq 50); do
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    [[ $X == 300 && $Y == 200 ]] && break
    sleep 0.1
done
[[ $X == 300 && $Y == 200 ]] || fail "the game did not move to 300,200 but to $X,$Y"
GX=$X GY=$Y GW=$WIDTH GH=$HEIGHT

# "&Info" sits at 13, 268 in the side panel (left 186), 87 x 33.
xdotool mousemove $((GX + 186 + 13 + 43)) $((GY + 268 + 16)) click 1
AID=$(timeout 10 xdotool search --sync --onlyvisible --name '^Info$' | head -n1) ||
    fail "no About box after a click on Info"
for _ in $(seq 50); do
    eval "$(xdotool getwindowgeometry --shell "$AID")"
    [[ $WIDTH -gt 100 ]] && break
    sleep 0.1
done
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$AID")"
AX=$X AY=$Y AW=$WIDTH AH=$HEIGHT
within_one() { (($1 - $2 <= 1 && $2 - $1 <= 1)); }
within_one $((AX + AW / 2)) $((GX + GW / 2)) || fail "box centre x $((AX + AW / 2)), game $((GX + GW / 2))"
within_one $((AY + AH / 2)) $((GY + GH / 2)) || fail "box centre y $((AY + AH / 2)), game $((GY + GH / 2))"

import -window root "$WORK/root.png"
[[ -n $KEEP ]] && cp "$WORK/root.png" "$KEEP"
convert "$WORK/root.png" -crop "${AW}x${AH}+$AX+$AY" +repage "$WORK/about.png"
pixel() { convert "$WORK/about.png" -format "%[hex:p{$1,$2}]" info:; }
has_colour() { # has_colour <image> <geometry> <regex>: a colour of that part matches
    # Through a file: grep -q stopping early would break a pipe.
    convert "$WORK/$1.png" -crop "$2" +repage -format %c histogram:info:"$WORK/histogram"
    grep -Eiq "$3" "$WORK/histogram"
}
[[ $(pixel $((AW - 6)) 2) == F4DCC4 ]] || fail "top band is $(pixel $((AW - 6)) 2), not F4DCC4"
[[ $(pixel 0 $((AH / 2))) == FFFFFF ]] || fail "no white left edge"
[[ $(pixel $((AW - 1)) $((AH / 2))) == 808080 ]] || fail "no grey right edge"
ALL="${AW}x${AH}+0+0"
for piece in 0000FF 00C000 00C0C0 C00000 A0C000 FF8000 FFFF00; do
    has_colour about "$ALL" "#$piece" || fail "the picture lacks the piece colour $piece"
done
# The links are the blue lines below the picture; the text is dark.
LINES="$((AW - 20))x$((AH / 3))+10+$((AH / 2))"
has_colour about "$LINES" '#0000FF' || fail "no blue link below the picture"
DARK='#(0[0-9A-F]|1[0-9A-F]){3}\b'
has_colour about "$((AW - 40))x30+20+10" "$DARK" || fail "no headline"
has_colour about "$((AW - 20))x16+10+$((AH - 24))" "$DARK" || fail "no system line"

xdotool key Escape
for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Info$' >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool search --onlyvisible --name '^Info$' >/dev/null 2>&1 && fail "Escape did not close the box"
for _ in $(seq 50); do
    [[ $(xdotool getwindowfocus) == "$WID" ]] && break
    sleep 0.1
done
[[ $(xdotool getwindowfocus) == "$WID" ]] || fail "the game did not get the keyboard back"

# The keys reach the game: Space drops the piece to the bottom row.
shot() {
    import -window root "$WORK/root.png"
    convert "$WORK/root.png" -crop "${GW}x${GH}+$GX+$GY" +repage "$WORK/$1.png"
}
xdotool key space
sleep 0.5
shot dropped
has_colour dropped 180x19+4+386 '#(0000FF|00C000|00C0C0|C00000|A0C000|FF8000|FFFF00)' ||
    fail "Space after the About box did not drop the piece"

xdotool key alt+e
expect_game_ended "Alt+E"
echo "PASS"
