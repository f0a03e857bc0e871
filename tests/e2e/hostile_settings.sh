#!/usr/bin/env bash
# Starts the real program with hostile things at its settings path: a link
# to a device node, a FIFO, a link to a FIFO, a link to /dev/zero under a
# memory limit, a folder, a maximised window of size 0, a record holder's
# name that is markup for an image of /dev/zero under a memory limit, and a
# temporary file left by a killed save. Each time the game must show its
# window within two seconds, or a German message naming the file; it must
# never hang or abort, and every non-regular file must be left exactly as
# it was.
#
#   hostile_settings.sh <path of the stakko program> [folder for screenshots]
set -euo pipefail

STAKKO=$(realpath "$1")
SHOTS=${2:-}
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool xprop import stat mknod mkfifo
start_xvfb 1024x768x24

VOMB=$HOME/.config/Vomb
INI=$VOMB/stakko.ini
# The window must be there within two seconds; a build with sanitizers
# starts more slowly, and a busy machine more slowly still.
DEADLINE=${STAKKO_E2E_START_SECONDS:-2}
if grep -q __asan_init "$STAKKO"; then
    ASAN=1
    DEADLINE=${STAKKO_E2E_START_SECONDS:-4}
else
    ASAN=0
fi

fresh_home() {
    rm -rf "$HOME/.config" "$HOME/.local" "$WORK/nodes"
    mkdir -p "$VOMB" "$WORK/nodes"
}

# What a node looks like, to see that nothing touched it: type, device
# number, inode and change time.
node_state() { stat -c '%F %t:%T %i %Z' "$1"; }

# start [limit]: starts the game, with an address-space limit when given.
start() {
    : >"$WORK/game.log"
    STARTED_MS=$(now_ms)
    if [[ -n ${1:-} && $ASAN == 1 ]]; then
        # AddressSanitizer cannot run under ulimit -v; its own limit on a
        # single allocation (1 GiB) stands in for it.
        ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}max_allocation_size_mb=1024 \
            "$STAKKO" >"$WORK/game.log" 2>&1 &
    elif [[ -n ${1:-} ]]; then
        (ulimit -v "$1" && exec "$STAKKO") >"$WORK/game.log" 2>&1 &
    else
        "$STAKKO" >"$WORK/game.log" 2>&1 &
    fi
    GAME_PID=$!
}

# The first visible window of the game, and its title.
WIN= TITLE=
window_shown() {
    kill -0 "$GAME_PID" 2>/dev/null || fail "the program ended without a window"
    WIN=$(xdotool search --onlyvisible --pid "$GAME_PID" --name '.' 2>/dev/null | head -n1) ||
        return 1
    [[ -n $WIN ]] || return 1
    TITLE=$(xprop -id "$WIN" WM_NAME | sed -n 's/^WM_NAME([A-Z_]*) = "\(.*\)"$/\1/p')
    [[ -n $TITLE ]]
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# The first window within the deadline, measured from the start.
expect_window_in_time() {
    local until=$((STARTED_MS + DEADLINE * 1000))
    until window_shown; do
        (($(now_ms) < until)) || fail "$1: no window within $DEADLINE s (the program hangs)"
        sleep 0.05
    done
    echo "$1: \"$TITLE\" after $(($(now_ms) - STARTED_MS)) ms"
}

shot() {
    [[ -n $SHOTS ]] || return 0
    mkdir -p "$SHOTS"
    import -window root "$SHOTS/$1.png"
}

# The game's window is there: it is the game's, not a message; "&Ende"
# (Alt+E) ends it normally.
expect_game() {
    expect_window_in_time "$1"
    [[ $TITLE == Stakko ]] || fail "$1: a window \"$TITLE\" instead of the game: $(cat "$WORK/game.log")"
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    ((WIDTH > 100 && HEIGHT > 100)) || fail "$1: the window is ${WIDTH}x$HEIGHT"
    shot "$1"
    timeout 10 xdotool windowfocus --sync "$WIN" key alt+e || fail "$1: the window did not take the keys"
    expect_status "$1" 0
}

# A message box (its caption is the program's name) tells in German why
# the game cannot start, naming the file; OK ends the program.
expect_message() {
    local case=$1 text=$2
    expect_window_in_time "$case"
    [[ $TITLE == stakko ]] || fail "$case: the window \"$TITLE\" is not the program's message"
    grep -qF -- "$text" "$WORK/game.log" ||
        fail "$case: the message is not \"$text\": $(cat "$WORK/game.log")"
    shot "$case"
    timeout 10 xdotool windowfocus --sync "$WIN" key Return || fail "$case: the message did not take the keys"
    expect_status "$case" 1
}

# A link to a device node (our own copy of /dev/null) is no settings file:
# the game says so, and the link and the device stay as they were.
fresh_home
mknod "$WORK/nodes/null" c 1 3
ln -s "$WORK/nodes/null" "$INI"
before=$(node_state "$WORK/nodes/null")
start
expect_message link_to_device "\"$INI\" ist keine gewöhnliche Datei, sondern ein Gerät, und wird nicht gelesen."
[[ -L $INI ]] || fail "link_to_device: the link was replaced"
[[ $(node_state "$WORK/nodes/null") == "$before" ]] || fail "link_to_device: the device was touched"

# A FIFO, and a link to one: no open may block the start.
for case in fifo link_to_fifo; do
    fresh_home
    if [[ $case == fifo ]]; then
        mkfifo "$INI"
        node=$INI
    else
        mkfifo "$WORK/nodes/fifo"
        ln -s "$WORK/nodes/fifo" "$INI"
        node=$WORK/nodes/fifo
    fi
    before=$(node_state "$node")
    start
    expect_message "$case" "\"$INI\" ist keine gewöhnliche Datei, sondern eine Pipe, und wird nicht gelesen."
    [[ $(node_state "$node") == "$before" ]] || fail "$case: the FIFO was touched"
done

# An endless file is refused, not read until memory runs out.
fresh_home
ln -s /dev/zero "$INI"
start $((4 * 1024 * 1024)) # KiB: 4 GiB of address space, plenty for Qt
expect_message link_to_zero "\"$INI\" ist keine gewöhnliche Datei, sondern ein Gerät, und wird nicht gelesen."
[[ -L $INI && $(readlink "$INI") == /dev/zero ]] || fail "link_to_zero: the link was replaced"

# A folder where the file belongs.
fresh_home
mkdir "$INI"
start
expect_message folder "\"$INI\" ist ein Ordner und keine Datei."
[[ -d $INI ]] || fail "folder: the folder went away"

# A maximised window stored with a size of 0 is still shown.
fresh_home
printf '\xEF\xBB\xBF[_Stakko]\r\nWinState=2\r\nWidth=0\r\nHeight=0\r\n\r\n' >"$INI"
start
expect_game zero_size_maximised

# A record holder's name that is markup for an endless image is shown as
# text: nothing reads /dev/zero, and the name stays as it was.
fresh_home
printf '\xEF\xBB\xBF[Score]\r\nBest=<img src="/dev/zero">\r\nHighest=100\r\n\r\n' >"$INI"
start $((3 * 1024 * 1024)) # KiB: the 3 GiB a reading of /dev/zero would exhaust
expect_game record_name_image_of_zero
grep -qF 'Best=<img src="/dev/zero">' "$INI" || fail "record_name_image_of_zero: the name changed"

# A temporary file of a killed save, older than the file, goes at start.
fresh_home
printf '\xEF\xBB\xBF[_Stakko]\r\nwithSound=0\r\n\r\n' >"$INI"
printf 'half a save' >"$INI.saving-Xy12Ab"
touch -d '1 hour ago' "$INI.saving-Xy12Ab"
start
expect_game leftover_temporary
[[ ! -e $INI.saving-Xy12Ab ]] || fail "leftover_temporary: the old temporary file is still there"
grep -q 'withSound=0' "$INI" || fail "leftover_temporary: the settings were lost"
echo "PASS"
