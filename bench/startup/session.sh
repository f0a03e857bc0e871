# Shared set-up of the start-up and idle benchmarks, sourced after
# `set -euo pipefail`: the end-to-end tests' session (a work folder, a
# private HOME, a virtual X server of our own) plus a private PulseAudio
# server with a null sink, so that the programs meet a sound server as on
# a desktop, and helpers that read a process's figures from /proc.

source "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/xsession.sh"

# cpu_ns <pid>: CPU time of all the process's threads in nanoseconds, from
# the scheduler's own account (/proc/<pid>/task/*/schedstat, first field).
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d\n", s }'
}

# peak_kib <pid>: the process's peak resident memory (VmHWM) in KiB.
peak_kib() {
    awk '/^VmHWM:/ { print $2 }' /proc/"$1"/status
}

# frames <stamp file>: frames the program has shown so far.
frames() {
    awk '{ print $2 }' "$1" 2>/dev/null || echo 0
}

# Summary of one column of numbers on standard input: median, mean, min
# and max, with the given format.
summary() {
    sort -g | awk -v f="$1" '
        { v[NR] = $1; s += $1 }
        END {
            if (NR == 0) { print "no values"; exit }
            m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "median " f "  mean " f "  min " f "  max " f "  (n=%d)\n", m, s / NR, v[1], v[NR], NR
        }'
}

# median: the median of a column of numbers on standard input.
median() {
    sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
