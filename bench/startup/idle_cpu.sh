#!/usr/bin/env bash
# Idle benchmark: the CPU a game costs while nobody touches it, over a
# window of SECONDS each: running (a piece falls every second), paused
# (Escape), and inactive (another window has the focus), beside a bare Qt
# Widgets window over the same time. CPU is the scheduler's account of all
# the process's threads (/proc/<pid>/task/*/schedstat, nanoseconds), cross-
# checked with utime + stime of /proc/<pid>/stat; frames are counted by the
# first-frame stamp (FirstFrame.c), one per frame handed to the display.
#
#   bench/startup/idle_cpu.sh [build dir (build-bench)] [seconds (60)]
# STAKKO_BENCH_GAME=<program> measures another build of the game.
set -euo pipefail

ROOT=$(realpath "$(dirname "$0")/../..")
BUILD=$(realpath "${1:-$ROOT/build-bench}")
SECONDS_EACH=${2:-60}
GAME=${STAKKO_BENCH_GAME:-$BUILD/stakko}
LAUNCH=$BUILD/bench/startup/stakko_launch
BARE=$BUILD/bench/startup/bench_bare_window

source "$ROOT/bench/startup/session.sh"
require_tools Xvfb xdotool pulseaudio pactl awk
for p in "$LAUNCH" "$GAME" "$BARE"; do
    [[ -x $p ]] || fail "missing $p: build the bench preset first (make bench)"
done
LOAD_BEFORE=$(cut -d' ' -f1-3 /proc/loadavg)
start_xvfb 1024x768x24
start_pulse

"$LAUNCH" "$WORK/game.stamp" "$GAME" >"$WORK/game.log" 2>&1 &
GAME_PID=$!
wait_until 20 test -s "$WORK/game.stamp" || fail "the game showed no frame"
WID=$(timeout 20 xdotool search --sync --onlyvisible --name '^Stakko$' | head -n1) ||
    fail "no game window"
# The start sound (11 s) is a game event, not idleness: measuring begins
# once the sound server plays nothing for the game any more.
playing() { [[ -n $(pactl list short sink-inputs 2>/dev/null) ]]; }
silent() { ! playing; }
wait_until 5 playing || echo "note: no start sound was heard"
SOUND_START=$SECONDS
wait_until 40 silent || fail "the start sound did not end"
SOUND_SECONDS=$((SECONDS - SOUND_START))
sleep 2

ticks() { awk '{ print $14 + $15 }' /proc/"$1"/stat; }
threads() { # threads <pid>: "<tid> <name> <ns>" per thread
    local t
    for t in /proc/"$1"/task/*; do
        printf '%s %s %s\n' "${t##*/}" "$(tr ' ' _ <"$t/comm")" "$(cut -d' ' -f1 "$t/schedstat")"
    done 2>/dev/null
}

# measure <label> <pid> <stamp or ->: one window of SECONDS_EACH. A
# thread's time counts from both samples, or whole when it began in the
# window; a thread that ended within it takes its time along (the stat
# figure still holds it).
measure() {
    local label=$1 pid=$2 stamp=$3 t0 t1 f0=0 f1=0
    threads "$pid" >"$WORK/threads0"
    t0=$(ticks "$pid")
    [[ $stamp != - ]] && f0=$(frames "$stamp")
    sleep "$SECONDS_EACH"
    t1=$(ticks "$pid")
    [[ $stamp != - ]] && f1=$(frames "$stamp")
    threads "$pid" >"$WORK/threads1"
    awk 'NR == FNR { before[$1] = $3; next }
         { d = $3 - ($1 in before ? before[$1] : 0); if (d > 0) printf "%s %s %d\n", $1, $2, d }' \
        "$WORK/threads0" "$WORK/threads1" >"$WORK/threads"
    awk -v l="$label" -v t="$((t1 - t0))" -v f="$((f1 - f0))" -v s="$SECONDS_EACH" \
        -v hz="$(getconf CLK_TCK)" '{ c += $3 } END {
            printf "%-22s %8.3f %% of a core (%7.1f ms in %d s; stat: %.1f ms), %d frames\n",
                l, c / (s * 1e7), c / 1e6, s, t * 1000 / hz, f }' "$WORK/threads"
    awk '{ printf "    %-18s %8.2f ms\n", $2, $3 / 1e6 }' "$WORK/threads"
}

echo "machine: $(lscpu | awk -F: '/Model name/ { gsub(/^ +/, "", $2); print $2 }'), $(nproc) cores"
echo "game: $GAME (start sound played for about $SOUND_SECONDS s before measuring)"
measure "running" "$GAME_PID" "$WORK/game.stamp"

xdotool windowfocus --sync "$WID"
xdotool key Escape
sleep 2 # the pause takes effect after the next tick
measure "paused" "$GAME_PID" "$WORK/game.stamp"

xdotool key Escape # resumes
"$LAUNCH" "$WORK/bare.stamp" "$BARE" >"$WORK/bare.log" 2>&1 &
BARE_PID=$!
wait_until 20 test -s "$WORK/bare.stamp" || fail "the bare window showed no frame"
BARE_WID=$(timeout 20 xdotool search --sync --onlyvisible --name '^Bare$' | head -n1)
xdotool windowfocus --sync "$BARE_WID"
sleep 2
c0=$(cpu_ns "$BARE_PID")
measure "inactive" "$GAME_PID" "$WORK/game.stamp"
c1=$(cpu_ns "$BARE_PID")
awk -v c="$((c1 - c0))" -v s="$SECONDS_EACH" 'BEGIN {
    printf "%-22s %8.3f %% of a core (%7.1f ms in %d s), same window of time\n",
        "bare window (peer)", c / (s * 1e7), c / 1e6, s }'
kill "$BARE_PID"
echo "load before and after: $LOAD_BEFORE / $(cut -d' ' -f1-3 /proc/loadavg)"
