#!/usr/bin/env bash
# A new record in a real X window: the game (prepared one drop before its
# end, see record_driver.cpp) is won with more points than the stored
# record; the dialog "Name des Gewinners" opens centred over the window,
# without a close box, and stays open on Escape; the name typed and Enter
# store "Best" and "Highest" in the settings file at once and change the
# record line; the keys are the game's again afterwards.
# Usage: record_dialog.sh <path to the record driver> [folder for screenshots]
set -euo pipefail

DRIVER=$(realpath "$1")
SHOTS=${2:-}
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool xprop import convert compare
start_xvfb 1024x768x24

INI=$HOME/.config/Vomb/$(basename "$DRIVER").ini
mkdir -p "$(dirname "$INI")"
printf '\xEF\xBB\xBF[_Stakko]\r\nwithSound=0\r\nWinState=0\r\nWidth=378\r\nHeight=408\r\nLeft=300\r\nTop=100\r\n\r\n[Score]\r\nBest=Anna\r\nHighest=100\r\n\r\n' >"$INI"

"$DRIVER" >"$WORK/game.log" 2>&1 &
GAME_PID=$!
MAIN=$(timeout 30 xdotool search --all --sync --onlyvisible --pid "$GAME_PID" --name '^Stakko$' |
    head -n1) || fail "the window did not appear"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
MX=$X MY=$Y MW=$WIDTH MH=$HEIGHT
[[ $MX == 300 && $MY == 100 && $MW == 378 && $MH == 408 ]] ||
    fail "the window is at ${MW}x$MH+$MX+$MY, not 378x408+300+100"

shot() { # shot <name> <geometry>: a part of the screen
    import -window root "$WORK/root.png"
    convert "$WORK/root.png" -crop "$2" +repage "$WORK/$1.png"
    [[ -z $SHOTS ]] || cp "$WORK/root.png" "$SHOTS/$1-screen.png"
}
RECORD_LINE=178x17+$((MX + 186 + 7))+$((MY + 243))
shot line_before "$RECORD_LINE"

xdotool key space
DIALOG=$(timeout 10 xdotool search --all --sync --onlyvisible --pid "$GAME_PID" \
    --name '^Name des Gewinners$' | head -n1) || fail "no record dialog after the 25th row"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$DIALOG")"
# Centred over the window: (378 - 429) / 2 = -25, (408 - 99) / 2 = 154.
[[ $X == 275 && $Y == 254 && $WIDTH == 429 && $HEIGHT == 99 ]] ||
    fail "the dialog is at ${WIDTH}x$HEIGHT+$X+$Y, not 429x99+275+254"
# The window manager is told which functions the dialog has: no close
# (0x20), and not "all" (0x01) either.
read -r FLAGS FUNCTIONS _ < <(xprop -id "$DIALOG" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g')
(((FLAGS & 1) && !(FUNCTIONS & 0x21))) ||
    fail "the dialog offers a close: Motif hints flags $FLAGS functions $FUNCTIONS"
shot dialog 1024x768+0+0

# Escape leaves the dialog open.
xdotool key Escape
sleep 0.5
xdotool search --all --onlyvisible --pid "$GAME_PID" --name '^Name des Gewinners$' >/dev/null ||
    fail "Escape closed the record dialog"
grep -q $'^Highest=100\r$' "$INI" || fail "the record was stored before OK"

# The offered name is selected: typing replaces it; Enter presses OK.
xdotool type --delay 50 'Bert'
xdotool key Return
for _ in $(seq 50); do
    xdotool search --all --onlyvisible --pid "$GAME_PID" --name '^Name des Gewinners$' >/dev/null ||
        break
    sleep 0.1
done
xdotool search --all --onlyvisible --pid "$GAME_PID" --name '^Name des Gewinners$' >/dev/null &&
    fail "Enter did not close the record dialog"

# On the disk at once, while the game still runs.
grep -q $'^Best=Bert\r$' "$INI" || fail "no Best=Bert in the settings file: $(cat -A "$INI")"
grep -q $'^Highest=452\r$' "$INI" || fail "no Highest=452 in the settings file: $(cat -A "$INI")"
sleep 0.3
shot line_after "$RECORD_LINE"
[[ $(compare -metric AE "$WORK/line_before.png" "$WORK/line_after.png" null: 2>&1) != 0 ]] ||
    fail "the record line did not change"
[[ -z $SHOTS ]] || cp "$WORK/line_before.png" "$WORK/line_after.png" "$SHOTS/"

# The keys are the game's again: Escape resumes the ended game, the piece
# falls.
WELL=184x404+$MX+$((MY + 2))
shot well_ended "$WELL"
xdotool key Escape
sleep 2.5
shot well_resumed "$WELL"
[[ $(compare -metric AE "$WORK/well_ended.png" "$WORK/well_resumed.png" null: 2>&1) != 0 ]] ||
    fail "the keys did not reach the game after the dialog"

xdotool key alt+e
expect_game_ended "Alt+E"
grep -q $'^Best=Bert\r$' "$INI" || fail "the record did not survive the end of the program"
echo "PASS"
