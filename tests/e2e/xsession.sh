# Shared set-up of the end-to-end tests, sourced after `set -euo pipefail`:
# a work folder that goes away at exit (killing the game and the X server
# with it), a private HOME, a virtual X server of our own, and
# LeakSanitizer kept quiet about the system's libraries.
#
#   source "$(dirname "$0")/xsession.sh"
#   require_tools Xvfb xdotool
#   start_xvfb 1024x768x24

WORK=$(mktemp -d)
XVFB_PID=""
GAME_PID=""
cleanup() {
    [[ -n $GAME_PID ]] && kill "$GAME_PID" 2>/dev/null || true
    [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -f $WORK/game.log ]] && sed 's/^/  game: /' "$WORK/game.log" >&2
    exit 1
}

# A missing tool is a failure, not a skip: CI must not pass without them.
require_tools() {
    local tool
    for tool; do
        command -v "$tool" >/dev/null || fail "missing tool: $tool (scripts/install-deps.sh)"
    done
}

# wait_until <seconds> <command...>: runs the command every 0.1 s until it
# succeeds; fails (status 1) once the deadline has passed.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# Starts Xvfb on a free display (it tells the number through fd 3) and
# exports DISPLAY. Argument: the screen, e.g. 1024x768x24.
start_xvfb() {
    # -noreset: without it the server resets when its last client leaves,
    # and a program starting at that moment cannot connect.
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$WORK/display" 2>"$WORK/xvfb.log" &
    XVFB_PID=$!
    wait_until 10 test -s "$WORK/display" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    export DISPLAY=":$(head -n1 "$WORK/display")"
}

export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CONFIG_DIRS XDG_DATA_DIRS
export QT_QPA_PLATFORM=xcb
# The system's font and X libraries keep memory until exit; that is not ours.
export LSAN_OPTIONS="suppressions=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../sanitizers/lsan.supp")"
