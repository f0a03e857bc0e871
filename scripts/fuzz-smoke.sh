#!/usr/bin/env bash
# Runs every fuzz target briefly: first over its regression inputs (files
# that once broke something, kept under fuzz/regressions/<target>), then
# for a fixed time from its saved corpus (fuzz/corpus/<target>). New inputs
# go to a scratch folder, so the saved corpus only changes by hand
# (see docs/fuzzing.md). Fails on the first crash, leak or sanitizer report.
# Usage: fuzz-smoke.sh <folder with the fuzz_* programs> [seconds per target]
set -euo pipefail

BIN=$(realpath "$1")
SECONDS_EACH=${2:-20}
ROOT=$(realpath "$(dirname "$0")/..")
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT

shopt -s nullglob
targets=("$BIN"/fuzz_*)
((${#targets[@]} > 0)) || { echo "fuzz-smoke: no fuzz targets in $BIN" >&2; exit 1; }

for target in "${targets[@]}"; do
    [[ -x $target && -f $target ]] || continue
    name=$(basename "$target")
    name=${name#fuzz_}
    corpus=$ROOT/fuzz/corpus/$name
    regressions=$ROOT/fuzz/regressions/$name
    [[ -d $corpus ]] || { echo "fuzz-smoke: no saved corpus at $corpus" >&2; exit 1; }
    if [[ -d $regressions ]]; then
        echo "fuzz-smoke: $name, regression inputs"
        "$target" -runs=0 "$regressions"/* >"$SCRATCH/$name.log" 2>&1 ||
            { cat "$SCRATCH/$name.log" >&2; exit 1; }
    fi
    echo "fuzz-smoke: $name, ${SECONDS_EACH} s from $(find "$corpus" -type f | wc -l) saved inputs"
    mkdir -p "$SCRATCH/$name" "$BIN/crashes"
    "$target" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=30 \
        -artifact_prefix="$BIN/crashes/$name-" "$SCRATCH/$name" "$corpus" >"$SCRATCH/$name.log" 2>&1 || {
        tail -n 60 "$SCRATCH/$name.log" >&2
        echo "fuzz-smoke: the failing input is in $BIN/crashes/; once mended, keep it" \
            "under fuzz/regressions/$name/" >&2
        exit 1
    }
    grep -E '^#[0-9]+ *DONE' "$SCRATCH/$name.log" || tail -n 1 "$SCRATCH/$name.log"
done
echo "fuzz-smoke: PASS"
