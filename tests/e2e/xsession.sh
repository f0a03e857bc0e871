# Shared set-up of the end-to-end tests, sourced after `set -euo pipefail`:
# a work folder that goes away at exit (killing the game and the X server
# with it), a private HOME, a virtual X server of our own, and
# LeakSanitizer kept quiet about the system's libraries; on request a
# private sound server (start_pulse) and the game itself (start_game).
#
#   source "$(dirname "$0")/xsession.sh"
#   require_tools Xvfb xdotool
#   start_xvfb 1024x768x24

WORK=$(mktemp -d)
XVFB_PID=""
GAME_PID=""
PULSE_PID=""
cleanup() {
    [[ -n $GAME_PID ]] && kill "$GAME_PID" 2>/dev/null || true
    [[ -n $PULSE_PID ]] && kill "$PULSE_PID" 2>/dev/null || true
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

# Starts a private PulseAudio server whose only output is the null sink
# "stakko_null" and exports PULSE_SERVER. It keeps its files in the work
# folder and takes clients only on its own socket, so it neither meets nor
# disturbs a server of the user's; it runs as root too (CI), where
# pulseaudio only warns without a system-wide set-up.
start_pulse() {
    export PULSE_RUNTIME_PATH=$WORK/pulse PULSE_STATE_PATH=$WORK/pulse
    export PULSE_SERVER=unix:$WORK/pulse/native
    mkdir -p "$WORK/pulse"
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
        -L "module-null-sink sink_name=stakko_null" \
        -L "module-native-protocol-unix socket=$WORK/pulse/native auth-anonymous=1" \
        2>"$WORK/pulse.log" &
    PULSE_PID=$!
    pulse_up() { pactl info >/dev/null 2>&1; }
    wait_until 10 pulse_up || fail "PulseAudio did not start: $(cat "$WORK/pulse.log")"
}

# Starts the program $STAKKO with its output in game.log and waits for its
# window, WIN, and for the layout to settle its size (that happens once
# after the window appears); its geometry is then in X, Y, WIDTH, HEIGHT.
start_game() {
    "$STAKKO" >"$WORK/game.log" 2>&1 &
    GAME_PID=$!
    WIN=$(timeout 30 xdotool search --sync --onlyvisible --pid "$GAME_PID" --name '^Stakko$' |
        head -n1) || fail "no Stakko window appeared"
    local last=
    settled() {
        local now
        now=$(xdotool getwindowgeometry --shell "$WIN")
        [[ $now == "$last" ]] && return 0
        last=$now
        sleep 0.3
        return 1
    }
    wait_until 10 settled || fail "the window did not settle its size"
    eval "$last"
}

# expect_status <what ended it> <status> [seconds]: the program $GAME_PID
# ends by itself within the time (10 s unless given), with that status.
expect_status() {
    game_ended() { ! kill -0 "$GAME_PID" 2>/dev/null; }
    wait_until "${3:-10}" game_ended || fail "$1 did not end the program"
    local status=0
    wait "$GAME_PID" || status=$?
    GAME_PID=""
    [[ $status == "$2" ]] || fail "after $1 the program ended with status $status, not $2"
}

# expect_game_ended <what closed it> [seconds]: the program ends within the
# time (10 s unless given), with status 0.
expect_game_ended() {
    expect_status "$1" 0 "${2:-10}"
}

export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CONFIG_DIRS XDG_DATA_DIRS
export QT_QPA_PLATFORM=xcb
# The program in German, its source language, whatever the caller's: the
# scripts find its windows and buttons by their German captions and keys.
unset LANGUAGE LC_MESSAGES
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# The system's font and X libraries keep memory until exit; that is not ours.
export LSAN_OPTIONS="suppressions=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../sanitizers/lsan.supp")"
