#!/bin/bash
# Runs the real program against a private PulseAudio server whose only
# output is a null sink, and records what reaches that sink. With sound on
# (no settings file yet) the start sound must be heard; with the switch
# stored off it must stay silent from the first moment.
#
#   start_sound.sh <path of the stakko program>
set -euo pipefail

STAKKO=$1
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool pulseaudio pactl parec od awk
start_xvfb 1024x768x24

RATE=22050 # recorded as signed 16-bit mono
RECORD_PID=""
stop_recorder() {
    [[ -n $RECORD_PID ]] && kill "$RECORD_PID" 2>/dev/null || true
    cleanup
}
trap stop_recorder EXIT

start_recording() {
    rm -f "$WORK/sink.raw"
    parec -d stakko_null.monitor --raw --format=s16le --rate=$RATE --channels=1 \
        >"$WORK/sink.raw" 2>"$WORK/parec.log" &
    RECORD_PID=$!
}

stop_recording() {
    kill "$RECORD_PID" 2>/dev/null || true
    wait "$RECORD_PID" 2>/dev/null || true
    RECORD_PID=
}

# Seconds of audio recorded so far.
recorded_seconds() {
    echo $(($(stat -c %s "$WORK/sink.raw" 2>/dev/null || echo 0) / (2 * RATE)))
}

# RMS of the loudest tenth of a second recorded so far, in steps of the
# 16-bit scale (a null sink gives exact zeros when nothing plays).
# loudest_rms: of the whole recording, or of standard input with LOUDEST_OF=-.
loudest_rms() {
    od -An -v -td2 -w2 "${LOUDEST_OF:-$WORK/sink.raw}" | awk -v n=$((RATE / 10)) '
        { sum += $1 * $1; if (++k == n) { r = sqrt(sum / n); if (r > max) max = r; sum = 0; k = 0 } }
        END { printf "%d\n", max }'
}

end_game() {
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
    GAME_PID=
}

start_pulse
# A start sound at about -15 dBFS gives several thousand; silence is 0.
HEARD=500

# Sound on: the start sound reaches the sink within a few seconds.
start_recording
start_game
rms=0
for _ in $(seq 100); do
    rms=$(loudest_rms)
    [ "$rms" -gt $HEARD ] && break
    sleep 0.1
done
[ "$rms" -gt $HEARD ] || fail "no start sound reached the sink (loudest RMS $rms)"
echo "sound on: loudest RMS $rms"

# The other recordings are stored compressed. A sound stops the one before
# it, so what the sink gets after a game dropped to its end (the danger
# and the lost sound) can only come from them.
for _ in $(seq 30); do xdotool key space; done
mark=$(stat -c %s "$WORK/sink.raw")
sleep 2
rms=$(tail -c +$((mark + 1)) "$WORK/sink.raw" | LOUDEST_OF=- loudest_rms)
[ "$rms" -gt $HEARD ] || fail "no sound of the game's end reached the sink (loudest RMS $rms)"
echo "game's end: loudest RMS $rms"
end_game
stop_recording

# Sound stored off: three seconds from the window's appearance stay silent.
mkdir -p "$HOME/.config/Vomb"
printf '\xEF\xBB\xBF[_Stakko]\r\nwithSound=0\r\n\r\n' >"$HOME/.config/Vomb/stakko.ini"
start_recording
start_game
start=$(recorded_seconds)
for _ in $(seq 200); do
    [ $(($(recorded_seconds) - start)) -ge 3 ] && break
    sleep 0.1
done
[ $(($(recorded_seconds) - start)) -ge 3 ] || fail "the sink's monitor stopped delivering audio"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended: $(cat "$WORK/game.log")"
rms=$(loudest_rms)
[ "$rms" -le 1 ] || fail "sound off, yet the sink got sound (loudest RMS $rms)"
echo "sound off: loudest RMS $rms"
end_game
stop_recording
echo "PASS"
