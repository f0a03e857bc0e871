#!/usr/bin/env bash
# The game in a native Wayland session: a headless sway compositor (which
# refuses to run as root, so as root the compositor and the game run as
# "nobody"), Qt's Wayland platform, keys through the compositor's virtual
# keyboard. The window appears with its desktop id, keys play, the help,
# the About box, a start-up message box and the record dialog open and
# close, the About box follows a drag of the pointer, and the settings
# file afterwards holds the window's size and state while the position
# stored before stays: Wayland tells no window where it is.
#
#   wayland_session.sh <stakko program> <record driver> <stakko_wl_pointer>
set -euo pipefail

source "$(dirname "$0")/xsession.sh"
require_tools sway swaymsg grim wtype compare setpriv jq
[[ -x ${3:-} ]] || fail "missing tool: stakko_wl_pointer, the test's pointer (it is built where" \
    "libwayland-dev is installed: scripts/install-deps.sh)"
unset DISPLAY
export QT_QPA_PLATFORM=wayland

# Everything the unprivileged user needs lives below one folder of its own.
WL=$WORK/wl
mkdir -p "$WL/home/.config/Vomb" "$WL/run" "$WL/bin"
cp "$(realpath "$1")" "$WL/bin/stakko"
cp "$(realpath "$2")" "$WL/bin/stakko_record_driver"
cp "$(realpath "$3")" "$WL/bin/stakko_wl_pointer"
# The suppressions too: the checkout itself may be closed to that user.
cp "$(dirname "$0")/../sanitizers/lsan.supp" "$WL/lsan.supp"
export LSAN_OPTIONS="suppressions=$WL/lsan.supp"
# Under Wayland the client library keeps memory until exit, and at times Qt
# objects hang off it, which LeakSanitizer then reports as indirect leaks
# with no frame of ours. The same code is leak-checked by the X11 runs and
# the unit tests; here leaks are not counted.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
AS=()
if [[ $(id -u) == 0 ]]; then
    chown -R nobody:nogroup "$WL"
    chmod 711 "$WORK"
    AS=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
chmod 700 "$WL/run"
export HOME=$WL/home XDG_RUNTIME_DIR=$WL/run
INI=$HOME/.config/Vomb/stakko.ini
# (Background processes are started with "${AS[@]}" itself, not through
# this function, so that $! is the process and not a subshell.)
as_user() { "${AS[@]}" "$@"; }

cat >"$WL/sway.cfg" <<'CONFIG'
output HEADLESS-1 resolution 1024x768 position 0 0
xwayland disable
default_border none
default_floating_border none
# Like the floating desktops of GNOME and KDE: the game keeps its own size.
for_window [app_id="org.example.stakko"] floating enable
CONFIG
chmod 644 "$WL/sway.cfg"
"${AS[@]}" env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$WL/sway.cfg" >"$WORK/sway.log" 2>&1 &
SWAY_PID=$!
socket_up() { compgen -G "$XDG_RUNTIME_DIR/wayland-*[0-9]" >/dev/null; }
wait_until 10 socket_up || fail "sway did not start: $(cat "$WORK/sway.log")"
WAYLAND_DISPLAY=$(basename "$(compgen -G "$XDG_RUNTIME_DIR/wayland-*[0-9]" | head -n1)")
SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*" | head -n1)
export WAYLAND_DISPLAY SWAYSOCK
trap 'kill "$SWAY_PID" 2>/dev/null || true; cleanup' EXIT

# The headless seat has no keyboard of its own: each wtype call would add
# one and take it away again, and a client that binds the new keyboard
# after the key went down hears only its release. One virtual keyboard
# that stays for the whole session lets every press arrive, as a real
# keyboard does.
"${AS[@]}" wtype -s 3600000 &
KEEP_KEYBOARD=$!
trap 'kill "$KEEP_KEYBOARD" "$SWAY_PID" 2>/dev/null || true; cleanup' EXIT

key() { as_user wtype "$@"; }
pointer() { as_user "$WL/bin/stakko_wl_pointer" "$@"; }
tree() { as_user swaymsg -t get_tree; }
# rect <name>: x, y, width and height of the window with that title.
rect() {
    tree | jq -r --arg name "$1" \
        'first(.. | objects | select(.name? == $name and .pid?) | .rect | "\(.x) \(.y) \(.width) \(.height)")'
}
# views <name>: how many windows of the game with that title are mapped.
views() { tree | grep -c "\"name\": \"$1\"" || true; }
has_view() { [[ $(views "$1") -ge 1 ]]; }
no_view() { [[ $(views "$1") == 0 ]]; }
shot() { as_user grim "$HOME/$1.png" && cp "$HOME/$1.png" "$WORK/$1.png"; }
differ() { [[ $(compare -metric AE "$WORK/$1.png" "$WORK/$2.png" null: 2>&1) != 0 ]]; }

start() { # start <program>: its window or its first dialog appears
    "${AS[@]}" "$WL/bin/$1" >"$WORK/game.log" 2>&1 &
    GAME_PID=$!
}

printf '\xEF\xBB\xBF[_Stakko]\r\nwithSound=0\r\nWinState=0\r\nWidth=378\r\nHeight=408\r\nLeft=300\r\nTop=100\r\n\r\n' >"$INI"
chown --reference="$WL/home" "$INI"

start stakko
wait_until 30 has_view Stakko || fail "no Stakko window: $(cat "$WORK/sway.log" | tail -5)"
tree | grep -q '"app_id": "org.example.stakko"' || fail "the window does not carry its desktop id"
sleep 1

# Keys play: Escape pauses (after the one fall step the pause allows,
# nothing moves), Escape resumes, Space drops.
key -k Escape
sleep 1.5
shot paused1
sleep 1.3
shot paused2
differ paused1 paused2 && fail "Escape did not pause the game"
key -k Escape -k space
sleep 0.3
shot dropped
differ paused2 dropped || fail "Escape and Space did not reach the game"

# The help covers the well and goes again with Escape.
key -k F1
sleep 0.5
shot help
differ dropped help || fail "F1 did not show the help"
key -k Escape
sleep 0.3

# The About box opens over the game and closes with its OK button.
key -M alt -k i -m alt
wait_until 10 has_view "Info" || fail "Alt+I did not open the About box: $(tree | grep '"name"')"
shot about
differ help about || fail "the About box is not on the screen"
[[ -n ${SHOTS:-} ]] && cp "$WORK/about.png" "$SHOTS/wayland-about.png"

# Dragged by its surface, the box goes where the pointer goes: the game
# hands the drag to the compositor, which alone may move a window here.
# The press is near the top right corner, clear of the lines, the picture
# and the buttons. The pointer comes in from the empty corner of the
# screen, so that the box hears it enter; the first step of one pixel
# starts the drag, and the compositor then moves the box with the pointer
# until the release.
read -r AX AY AW AH < <(rect Info)
((AW > 100 && AH > 100)) || fail "the About box has no size: $AX $AY $AW $AH"
PX=$((AX + AW - 10)) PY=$((AY + 5))
steps=(move 0 0 sleep 300 move "$PX" "$PY" sleep 300 press sleep 100
    move $((PX + 1)) $((PY + 1)) sleep 300)
for i in 1 2 3 4; do
    steps+=(move $((PX + 30 * i)) $((PY + 20 * i)) sleep 50)
done
pointer "${steps[@]}" sleep 300 release || fail "the pointer tool failed"
sleep 0.3
read -r BX BY BW BH < <(rect Info)
near() { (($1 - $2 <= 2 && $2 - $1 <= 2)); }
near $((BX - AX)) 120 && near $((BY - AY)) 80 && [[ $BW == "$AW" && $BH == "$AH" ]] ||
    fail "the About box at $AX,$AY ${AW}x$AH went to $BX,$BY ${BW}x$BH, not by (120, 80)"

key -k Return
wait_until 10 no_view "Info" || fail "Return did not close the About box"

key -M alt -k e -m alt
expect_status "Alt+E" 0
for entry in WinState=0 Width=378 Height=408 Left=300 Top=100; do
    grep -q "^$entry"$'\r$' "$INI" || fail "the settings file lacks $entry: $(cat -A "$INI")"
done

# A start-up message box (a line that cannot be decoded) over no window yet.
printf '\xEF\xBB\xBF[Score]\r\nBest=\xFF\r\n' >"$INI"
start stakko
wait_until 30 has_view stakko || fail "no start-up message box"
key -k Return
wait_until 10 has_view Stakko || fail "no window after the message box"
key -M alt -k e -m alt
expect_status "Alt+E after the message box" 0

# The record dialog: a won game one drop away, a name typed, Enter.
DRIVER_INI=$HOME/.config/Vomb/stakko_record_driver.ini
printf '\xEF\xBB\xBF[_Stakko]\r\nwithSound=0\r\n\r\n[Score]\r\nBest=Anna\r\nHighest=100\r\n\r\n' >"$DRIVER_INI"
chown --reference="$WL/home" "$DRIVER_INI"
start stakko_record_driver
wait_until 30 has_view Stakko || fail "no window of the record driver"
sleep 0.5
key -k space
wait_until 10 has_view "Name des Gewinners" || fail "no record dialog after the 25th row"
sleep 0.3
key Wanda
key -k Return
wait_until 10 no_view "Name des Gewinners" || fail "Enter did not close the record dialog"
grep -q $'^Best=Wanda\r$' "$DRIVER_INI" || fail "no Best=Wanda: $(cat -A "$DRIVER_INI")"
grep -q $'^Highest=452\r$' "$DRIVER_INI" || fail "no Highest=452: $(cat -A "$DRIVER_INI")"
key -M alt -k e -m alt
expect_status "Alt+E after the record" 0
echo "PASS"
