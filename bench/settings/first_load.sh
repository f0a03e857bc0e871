#!/usr/bin/env bash
# The first load of a settings-sized file in a fresh process: TIni and
# inih's callback parser, each started ROUNDS times, in turn, each round in
# the other order. Prints the medians and their ratio, once for a bare
# process and once for a load where the game makes it (after the
# application object and the language choice). The file is the INI
# benchmark's small one (10 sections of 20 keys, UTF-8 with byte-order mark,
# CR LF), written here.
#
#   bench/settings/first_load.sh [build dir (build-bench)] [rounds (41)]
set -euo pipefail

ROOT=$(realpath "$(dirname "$0")/../..")
BUILD=$(realpath "${1:-$ROOT/build-bench}")
ROUNDS=${2:-41}
BENCH=$BUILD/bench/settings/bench_ini
[[ -x $BENCH ]] || { echo "missing $BENCH: build the bench preset first (make bench)" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
FILE=$WORK/small.ini
{
    printf '\xEF\xBB\xBF'
    for ((s = 0; s < 10; ++s)); do
        printf '[Section%04d]\r\n' "$s"
        for ((k = 0; k < 20; ++k)); do
            ((k % 10 == 0)) && printf ';note %d\r\n' "$k"
            printf 'Key%d=%d Werte %d\r\n' "$k" $((s * 7919 + k * 104729)) $((k * 31))
        done
        printf '\r\n'
    done
} >"$FILE"

LOAD_BEFORE=$(cut -d" " -f1-3 /proc/loadavg)
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
for mode in first-load first-load-in-game-order; do
    # One start of each, not counted: the page cache.
    "$BENCH" --$mode tini "$FILE" >/dev/null
    "$BENCH" --$mode inih "$FILE" >/dev/null
    for ((round = 0; round < ROUNDS; ++round)); do
        if ((round % 2)); then order=(tini inih); else order=(inih tini); fi
        for who in "${order[@]}"; do
            "$BENCH" --$mode "$who" "$FILE" | awk '{ print $1 / 1000 }' >>"$WORK/$mode-$who.txt"
        done
    done
done
echo "file: $(stat -c %s "$FILE") bytes; load before and after: $LOAD_BEFORE / $(cut -d' ' -f1-3 /proc/loadavg)"
for mode in first-load first-load-in-game-order; do
    t=$(median <"$WORK/$mode-tini.txt")
    i=$(median <"$WORK/$mode-inih.txt")
    echo "$mode, median of $ROUNDS fresh processes: TIni $t us, inih $i us, TIni / inih $(awk -v a="$t" -v b="$i" 'BEGIN { printf "%.2f", a / b }')"
done
