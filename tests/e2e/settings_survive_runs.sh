#!/bin/bash
# Runs the real program twice on a virtual X server with HOME in a fresh
# folder. The first run switches the sound off and ends through "&Ende";
# the settings file it leaves must be exactly the UTF-8 file with
# byte-order mark and CR LF that holds the sound switch and the window's
# placement. The second run must come back at the (moved) stored place
# and write that place back unchanged.
#
#   settings_survive_runs.sh <path of the stakko program>
set -euo pipefail

STAKKO=$1
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool od cmp import compare
start_xvfb 1280x1024x24

INI=$HOME/.config/Vomb/stakko.ini
WIN=
X= Y= WIDTH= HEIGHT=

# The side panel sits right of the well, whose width follows the cell size
# that the client height gives; the panel's controls keep fixed places.
click_in_panel() {
    local cell=$(((HEIGHT - 4) / 20))
    local panel_left=$((9 * cell + 4 + 2))
    xdotool mousemove --window "$WIN" $((panel_left + $1)) "$2" click 1
}

end_game() {
    click_in_panel 143 365 # "&Ende"
    expect_game_ended '"&Ende"'
}

expect_file() {
    local expected=$WORK/expected.ini
    printf '\xEF\xBB\xBF[_Stakko]\r\nwithSound=0\r\nWinState=0\r\nWidth=%d\r\nHeight=%d\r\nLeft=%d\r\nTop=%d\r\n\r\n' \
        "$1" "$2" "$3" "$4" >"$expected"
    [ -f "$INI" ] || fail "no settings file at $INI"
    cmp -s "$expected" "$INI" || fail "settings file differs; expected:
$(od -c "$expected")
found:
$(od -c "$INI")"
}

# First run: no settings file yet.
start_game
[ ! -e "$INI" ] || fail "the settings file exists before anything was written"
# The sound image, 32 x 32 at (152, 176) of the panel, shows the new state.
sound_icon() {
    local cell=$(((HEIGHT - 4) / 20))
    import -window root -crop "32x32+$((X + 9 * cell + 6 + 152))+$((Y + 176))" +repage "$WORK/$1.png"
}
sound_icon before
click_in_panel 168 192
switched() {
    sound_icon after
    local status=0
    compare -metric AE "$WORK/before.png" "$WORK/after.png" null: 2>/dev/null || status=$?
    [[ $status == 1 ]] # 1: the pictures differ; 2 would be an error
}
wait_until 5 switched || fail "the sound image did not change"
end_game
expect_file "$WIDTH" "$HEIGHT" "$X" "$Y"
echo "first run left:"
od -c "$INI"

# Second run: the window comes back where the file says, sound still off.
sed -i -e 's/^Left=[0-9-]*\r$/Left=200\r/' -e 's/^Top=[0-9-]*\r$/Top=150\r/' "$INI"
FIRST_WIDTH=$WIDTH FIRST_HEIGHT=$HEIGHT
start_game
[ "$X,$Y" = "200,150" ] || fail "second run placed the window at $X,$Y, not 200,150"
[ "$WIDTH,$HEIGHT" = "$FIRST_WIDTH,$FIRST_HEIGHT" ] ||
    fail "second run sized the window $WIDTH x $HEIGHT, not $FIRST_WIDTH x $FIRST_HEIGHT"
end_game
expect_file "$FIRST_WIDTH" "$FIRST_HEIGHT" 200 150
echo "PASS"
