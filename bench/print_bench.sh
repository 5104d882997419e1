#!/usr/bin/env bash
# Print benchmark: a report file of about 100,000 lines (some 1,500 tag
# reports of the demo upload, repeated) printed into a PDF file with
# tq740-cli print, and a file of a tenth of that size for comparison.  Prints
# pages, wall time, pages per second and the peak memory of each run: the
# memory may grow with the lines read, never with the pages printed.
#
#   bench/print_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

# A report file of at least $1 lines: the demo reports again and again, a
# separator and an empty line between the copies, as one upload has them.
make_reports() {
    local want=$1 out=$2 lines=0
    : >"$out"
    while [ "$lines" -lt "$want" ]; do
        [ "$lines" -gt 0 ] && printf -- '------------------------------\r\n\r\n' >>"$out"
        cat "$here/../tests/e2e/golden/demo_reports_acme.txt" >>"$out"
        lines=$(wc -l <"$out")
    done
}

run() {
    local name=$1 want=$2
    make_reports "$want" "$work/$name.txt"
    /usr/bin/time -f '%e %M' -o "$work/time" \
        "$build/tq740-cli" print "$work/$name.txt" --pdf "$work/$name.pdf" >"$work/out" 2>"$work/err"
    read -r wall peak_kb <"$work/time"
    pages=$(sed -n 's/^.*: \([0-9]*\) pages$/\1/p' "$work/out")
    awk -v name="$name" -v lines="$(wc -l <"$work/$name.txt")" -v pages="$pages" -v wall="$wall" \
        -v kb="$peak_kb" -v bytes="$(stat -c %s "$work/$name.pdf")" 'BEGIN {
        printf "%s: %d lines, %d pages, PDF %.1f MB\n", name, lines, pages, bytes / 1e6
        printf "  wall time:        %.2f s\n", wall
        printf "  pages per second: %.0f\n", pages / (wall > 0 ? wall : 0.01)
        printf "  peak memory:      %.1f MB\n", kb / 1024
    }'
}

run small 10000
run large 100000
