#!/usr/bin/env bash
# A long random session: keys, clicks on the preview, the sound switch, the
# help and the buttons, pauses and window resizes, for a set time. After
# every resize the game must paint its new area within a few seconds (a hung
# program would leave it black). Fails on any sanitizer report, a crash, a
# hang, or a settings file at the end that is not whole.
# Usage: soak.sh <path to stakko> <seconds>
set -euo pipefail

STAKKO=$(realpath "$1")
DURATION=${2:-30}
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool import convert
start_xvfb 1280x1024x24
INI=$HOME/.config/Vomb/stakko.ini
SEED=${SOAK_SEED:-$$}
RANDOM=$SEED
echo "soak: ${DURATION} s, seed $SEED (SOAK_SEED repeats a run)"

"$STAKKO" >"$WORK/game.log" 2>&1 &
GAME_PID=$!
WID=$(timeout 30 xdotool search --sync --onlyvisible --name '^Stakko$' | head -n1) ||
    fail "the window did not appear"

alive() { kill -0 "$GAME_PID" 2>/dev/null || fail "the program ended during the soak"; }
sanitizer_clean() {
    ! grep -Eq 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$WORK/game.log" ||
        fail "sanitizer report"
}

# The side panel's controls keep fixed places right of the well, whose
# width follows the cell size that the client height gives.
click_in_panel() {
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    local cell=$(((HEIGHT - 4) / 20))
    xdotool mousemove --window "$WID" $((9 * cell + 6 + $1)) "$2" click "${3:-1}"
}

# The bottom right corner of the client area is button face once painted.
painted_at() {
    local colour
    colour=$(import -window root -crop "1x1+$1+$2" +repage -depth 8 -format '%[hex:p{0,0}]' info: 2>/dev/null) ||
        return 1
    [[ $colour != 000000 ]]
}
# The game may settle the size to its layout; whatever size it keeps, the
# whole client area must be painted.
resize_and_check() {
    xdotool windowsize "$WID" "$1" "$2"
    local last=
    probe() {
        local now
        now=$(xdotool getwindowgeometry --shell "$WID")
        [[ $now == "$last" ]] || { last=$now; return 1; }
        eval "$now"
        painted_at $((X + WIDTH - 2)) $((Y + HEIGHT - 2))
    }
    wait_until 5 probe || fail "no repaint within 5 s after resizing to $1 x $2 (hung?)"
}

KEYS=(Left Right Up Down space l r u d s L R Escape F1)
deadline=$((SECONDS + DURATION))
while ((SECONDS < deadline)); do
    alive
    case $((RANDOM % 20)) in
    0) click_in_panel 58 348 ;;                          # the preview
    1) click_in_panel 168 192 ;;                         # the sound switch
    2) xdotool key --window "$WID" alt+h ;;              # the help
    3) xdotool mousemove --window "$WID" 60 60 click $((RANDOM % 3 + 1)) ;; # on the help or the well
    4) xdotool key --window "$WID" alt+n ;;              # a new game
    5) resize_and_check $((378 + RANDOM % 500)) $((408 + RANDOM % 500)) ;;
    6) xdotool key --window "$WID" Escape ;;             # pause or resume
    *) xdotool key --window "$WID" "${KEYS[RANDOM % ${#KEYS[@]}]}" ;;
    esac
    sleep 0.0$((RANDOM % 10))
done
alive
resize_and_check 500 520
sanitizer_clean

# "&Ende" ends the program normally and writes the settings file.
xdotool key --window "$WID" alt+e
expect_game_ended "Alt+E" 15
sanitizer_clean

# The file is whole: UTF-8 with byte-order mark, CR LF on every line, only
# section headers, key=value lines and empty lines, and the window's section.
[[ -f $INI ]] || fail "no settings file at $INI"
[[ $(head -c3 "$INI" | od -An -tx1 | tr -d ' ') == efbbbf ]] || fail "no byte-order mark"
tail -c +4 "$INI" | iconv -f UTF-8 -t UTF-8 >/dev/null || fail "the file is not UTF-8"
if tail -c +4 "$INI" | tr -d '\r' | grep -vqE '^(\[[^]]+\]|[^=[;][^=]*=.*|)$'; then
    fail "a line is neither a section, a key nor empty: $(tail -c +4 "$INI" | cat -A)"
fi
[[ $(tail -c +4 "$INI" | grep -c $'\r$') == $(tail -c +4 "$INI" | wc -l) ]] ||
    fail "a line does not end with CR LF"
tail -c +4 "$INI" | grep -q '^\[_Stakko\]' || fail "no [_Stakko] section: $(cat -A "$INI")"
grep -Eq $'^Width=[0-9]+\r$' "$INI" || fail "no stored width"
echo "PASS"
