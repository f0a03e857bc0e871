#!/usr/bin/env bash
# Start-up benchmark: exec to first painted frame and peak memory of the
# game against bare Qt Widgets windows of the game's size (bench/startup/
# BareWindow.cpp): one plain, one linking Qt Multimedia and playing one
# sound effect, one that also shows a line of text (what fonts cost any
# window that shows text), one that also has a push button (a label, a
# button and a sound: the floor the game is held to), and one that links Qt Multimedia without using
# it (what loading its libraries costs). The programs run in turn, each round in another
# order, in one virtual X server with a private sound server; the first
# frame is stamped the same way for all (FirstFrame.c, preloaded by
# stakko_launch). Peak memory is VmHWM once the program has settled (sounds
# and help loaded), CPU the scheduler's time of all threads by then. Before
# each start the launcher touches and frees 256 MiB, so that no program
# starts on memory the virtual machine's host has taken back (Launch.c).
#
#   bench/startup/startup.sh [build dir (build-bench)] [rounds (25)] [settle seconds (1.5)]
# STAKKO_BENCH_GAMES="name=<program> ..." measures other builds of the game
# in the same run (say, the one before a change) instead of <build>/stakko.
set -euo pipefail

ROOT=$(realpath "$(dirname "$0")/../..")
BUILD=$(realpath "${1:-$ROOT/build-bench}")
ROUNDS=${2:-25}
SETTLE=${3:-1.5}
LAUNCH=$BUILD/bench/startup/stakko_launch
export STAKKO_LAUNCH_WARM_MIB=256
declare -A PROGRAM=(
    [bare]=$BUILD/bench/startup/bench_bare_window
    [bare_sound]=$BUILD/bench/startup/bench_bare_window_sound
    [bare_sound_text]=$BUILD/bench/startup/bench_bare_window_text
    [bare_sound_text_button]=$BUILD/bench/startup/bench_bare_window_button
    [bare_linked]=$BUILD/bench/startup/bench_bare_window_linked
)
GAMES=()
for entry in ${STAKKO_BENCH_GAMES:-game=$BUILD/stakko}; do
    GAMES+=("${entry%%=*}")
    PROGRAM[${entry%%=*}]=$(realpath "${entry#*=}")
done
ORDER=("${GAMES[@]}" bare_sound bare bare_sound_text bare_sound_text_button bare_linked)

source "$ROOT/bench/startup/session.sh"
require_tools Xvfb pulseaudio pactl awk
for p in "$LAUNCH" "${PROGRAM[@]}"; do
    [[ -x $p ]] || fail "missing $p: build the bench preset first (make bench)"
done
LOAD_BEFORE=$(cut -d" " -f1-3 /proc/loadavg)
start_xvfb 1024x768x24
start_pulse

# run_once <name>: one start; appends "<first frame ms> <peak KiB> <CPU ms>
# <frames>" to $WORK/<name>.txt.
run_once() {
    local name=$1 stamp=$WORK/stamp pid
    rm -f "$stamp"
    "$LAUNCH" "$stamp" "${PROGRAM[$name]}" >>"$WORK/$name.log" 2>&1 &
    pid=$!
    wait_until 20 test -s "$stamp" || fail "$name showed no frame"
    sleep "$SETTLE"
    local peak cpu
    peak=$(peak_kib "$pid")
    cpu=$(cpu_ns "$pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v peak="$peak" -v cpu="$cpu" '{ printf "%.3f %d %.1f %d\n", $1 / 1e6, peak, cpu / 1e6, $2 }' \
        "$stamp" >>"$WORK/$name.txt"
}

# A round of each to fill the page cache and make the game's settings
# folder; not counted.
for name in "${ORDER[@]}"; do
    run_once "$name"
    rm -f "$WORK/$name.txt"
done

for ((round = 0; round < ROUNDS; ++round)); do
    for ((i = 0; i < ${#ORDER[@]}; ++i)); do
        run_once "${ORDER[(i + round) % ${#ORDER[@]}]}"
    done
done

echo "machine: $(lscpu | awk -F: '/Model name/ { gsub(/^ +/, "", $2); print $2 }'), $(nproc) cores"
echo "load before and after: $LOAD_BEFORE / $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$ROUNDS interleaved rounds, settled ${SETTLE}s after the first frame"
for name in "${ORDER[@]}"; do
    echo "== $name (${PROGRAM[$name]})"
    printf '  first frame ms: '
    awk '{ print $1 }' "$WORK/$name.txt" | summary "%.1f"
    printf '  peak KiB:       '
    awk '{ print $2 }' "$WORK/$name.txt" | summary "%.0f"
    printf '  CPU ms:         '
    awk '{ print $3 }' "$WORK/$name.txt" | summary "%.1f"
    printf '  frames:         '
    awk '{ print $4 }' "$WORK/$name.txt" | summary "%.0f"
done
med() { awk -v c="$2" '{ print $c }' "$WORK/$1.txt" | median; }
echo "== ratios of the medians"
for game in "${GAMES[@]}"; do
    for peer in bare_sound bare bare_sound_text bare_sound_text_button; do
        awk -v g="$(med "$game" 1)" -v p="$(med "$peer" 1)" -v gm="$(med "$game" 2)" \
            -v pm="$(med "$peer" 2)" -v n="$game / $peer" \
            'BEGIN { printf "  %s: first frame %.2f x, peak memory %.2f x\n", n, g / p, gm / pm }'
    done
done
echo "== what single things cost: differences of the medians (first frame, peak memory)"
cost() { # cost <with> <without> <what>
    awk -v a="$(med "$1" 1)" -v b="$(med "$2" 1)" -v am="$(med "$1" 2)" -v bm="$(med "$2" 2)" \
        -v w="$3" 'BEGIN { printf "  %-48s %+6.1f ms  %+7d KiB\n", w, a - b, am - bm }'
}
cost bare_linked bare "loading Qt Multimedia's libraries"
cost bare_sound bare_linked "making and playing the sound before the frame"
cost bare_sound_text bare_sound "one line of text (the fonts)"
cost bare_sound_text_button bare_sound_text "a push button below it"
