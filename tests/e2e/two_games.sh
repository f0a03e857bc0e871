#!/usr/bin/env bash
# The player starts the game twice. One game wins a record and stores it;
# the other, started earlier, switches its sound afterwards; then both are
# ended by SIGTERM in the same moment (a logout). The settings file keeps
# the record, the switch and a placement: neither game's save undoes the
# other's. Both games are the record driver (the real game one drop before
# a won game, see record_driver.cpp) on one settings file.
#
#   two_games.sh <path to the record driver> <path to the stakko program>
set -euo pipefail

DRIVER=$(realpath "$1")
STAKKO=$(realpath "$2")
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool
start_xvfb 1024x768x24

INI=$HOME/.config/Vomb/$(basename "$DRIVER").ini
mkdir -p "$(dirname "$INI")"
printf '\xEF\xBB\xBF[_Stakko]\r\nwithSound=1\r\nWinState=0\r\nWidth=378\r\nHeight=408\r\nLeft=300\r\nTop=100\r\n\r\n[Score]\r\nBest=Anna\r\nHighest=100\r\n\r\n' >"$INI"

file_says() { grep -q "^$1"$'\r$' "$INI"; }

# start_program <program> <log>: starts a game; its process is PID, its
# window WIN.
PID='' WIN=''
start_program() {
    "$1" >"$WORK/$2" 2>&1 &
    PID=$!
    WIN=$(timeout 30 xdotool search --all --sync --onlyvisible --pid "$PID" --name '^Stakko$' |
        head -n1)
    [[ -n $WIN ]] || fail "the window of $2 did not appear"
}

start_program "$DRIVER" b.log
PID_B=$PID WIN_B=$WIN
start_program "$DRIVER" a.log
PID_A=$PID WIN_A=$WIN
trap 'kill "$PID_A" "$PID_B" 2>/dev/null || true; cleanup' EXIT
sleep 1

# A wins: the record dialog, the name, Enter; on the disk at once.
xdotool windowraise "$WIN_A" windowfocus --sync "$WIN_A"
xdotool key space
DIALOG=$(timeout 10 xdotool search --all --sync --onlyvisible --pid "$PID_A" \
    --name '^Name des Gewinners$' | head -n1) || fail "no record dialog in game A"
xdotool windowfocus --sync "$DIALOG"
sleep 0.3
xdotool type --delay 50 'Bert'
xdotool key Return
wait_until 5 file_says Highest=452 || fail "A's record did not reach the file: $(cat -A "$INI")"
file_says Best=Bert || fail "A's record has no name: $(cat -A "$INI")"

# B, which read the file before the record, switches its sound off.
xdotool windowraise "$WIN_B"
eval "$(xdotool getwindowgeometry --shell "$WIN_B")"
CELL=$(((HEIGHT - 4) / 20))
xdotool mousemove --window "$WIN_B" $((9 * CELL + 6 + 168)) 192 click 1
wait_until 5 file_says withSound=0 || fail "B's sound switch did not reach the file: $(cat -A "$INI")"
file_says Highest=452 || fail "B's save undid A's record: $(cat -A "$INI")"
file_says Best=Bert || fail "B's save undid A's record name: $(cat -A "$INI")"

# Both end the way the player ends a game.
for win in "$WIN_B" "$WIN_A"; do
    xdotool windowraise "$win" windowfocus --sync "$win"
    xdotool key alt+e
done
for pid in "$PID_A" "$PID_B"; do
    ended() { ! kill -0 "$pid" 2>/dev/null; }
    wait_until 10 ended || fail "Alt+E did not end game $pid"
done
for key in Best=Bert Highest=452 withSound=0; do
    file_says "$key" || fail "after both ended the file lacks $key: $(cat -A "$INI")"
done

# A logout, several times: the real program twice; A switches its sound,
# B is moved; both get SIGTERM in the same moment. Each keeps its change.
INI=$HOME/.config/Vomb/stakko.ini
printf '\xEF\xBB\xBF[_Stakko]\r\nwithSound=1\r\nWinState=0\r\nWidth=378\r\nHeight=408\r\nLeft=300\r\nTop=100\r\n\r\n[Score]\r\nBest=Bert\r\nHighest=452\r\n\r\n' >"$INI"
sound=1
for round in 1 2 3; do
    start_program "$STAKKO" "b$round.log"
    PID_B=$PID WIN_B=$WIN
    start_program "$STAKKO" "a$round.log"
    PID_A=$PID WIN_A=$WIN
    sleep 1
    xdotool windowraise "$WIN_A"
    eval "$(xdotool getwindowgeometry --shell "$WIN_A")"
    CELL=$(((HEIGHT - 4) / 20))
    xdotool mousemove --window "$WIN_A" $((9 * CELL + 6 + 168)) 192 click 1
    sound=$((1 - sound))
    wait_until 5 file_says "withSound=$sound" || fail "round $round: A's switch did not reach the file"
    xdotool windowmove --sync "$WIN_B" $((400 + 20 * round)) $((150 + 10 * round))
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$WIN_B")"
    kill -TERM "$PID_A" "$PID_B"
    for pid in "$PID_A" "$PID_B"; do
        ended() { ! kill -0 "$pid" 2>/dev/null; }
        wait_until 10 ended || fail "round $round: SIGTERM did not end game $pid"
        status=0
        wait "$pid" || status=$?
        [[ $status == 0 ]] || fail "round $round: game $pid ended with status $status"
    done
    for key in "withSound=$sound" "Left=$X" "Top=$Y" Best=Bert Highest=452; do
        file_says "$key" || fail "round $round: after SIGTERM the file lacks $key: $(cat -A "$INI")"
    done
done
echo "PASS"
