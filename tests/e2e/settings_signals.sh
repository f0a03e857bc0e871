#!/usr/bin/env bash
# Nothing the player did is lost when the game is ended from outside: a
# click on the sound switch reaches the settings file at once (a SIGKILL
# right after it keeps it), and SIGTERM (what a session manager sends at
# logout) or SIGHUP end the game the way "&Ende" does, with the window's
# placement written too.
#
#   settings_signals.sh <path of the stakko program>
set -euo pipefail

STAKKO=$(realpath "$1")
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool
start_xvfb 1280x1024x24

INI=$HOME/.config/Vomb/stakko.ini
WIN=
X= Y= WIDTH= HEIGHT=

click_sound_image() {
    local cell=$(((HEIGHT - 4) / 20))
    xdotool mousemove --window "$WIN" $((9 * cell + 6 + 168)) 192 click 1
}

file_says() { [[ -f $INI ]] && grep -q "^$1"$'\r$' "$INI"; }

expect_placement() {
    local key
    for key in "WinState=0" "Width=$WIDTH" "Height=$HEIGHT" "Left=$X" "Top=$Y"; do
        file_says "$key" || fail "after $1 the file lacks $key: $(cat -A "$INI")"
    done
}

# SIGTERM after a click on the sound switch.
start_game
click_sound_image
wait_until 2 file_says withSound=0 || fail "the sound switch did not reach the file at once"
kill -TERM "$GAME_PID"
expect_status SIGTERM 0
file_says withSound=0 || fail "SIGTERM lost the sound switch"
expect_placement SIGTERM

# SIGKILL right after a click: the switch is on the disk already.
start_game
click_sound_image
wait_until 2 file_says withSound=1 || fail "the sound switch did not reach the file at once"
kill -KILL "$GAME_PID"
expect_status SIGKILL 137
file_says withSound=1 || fail "SIGKILL lost the sound switch"

# SIGHUP, when the terminal the game was started from goes away.
rm "$INI"
start_game
kill -HUP "$GAME_PID"
expect_status SIGHUP 0
expect_placement SIGHUP
echo "PASS"
