#!/usr/bin/env bash
# Upload benchmark: 50 calibrated tags of 21 points from the simulator at
# 9600 baud, uploaded with tq740-cli, compared with the time the line itself
# needs; then the time to open a report file of 100,000 lines in the desktop
# program.
#
#   bench/upload_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
build=${1:-build}
work=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null || true; rm -rf "$work"' EXIT

# Private settings, so the benchmark never touches the user's.
export XDG_CONFIG_HOME="$work/config" HOME="$work"

"$build/tq740-sim" --full --baud 9600 --log >"$work/sim.out" 2>"$work/sim.log" &
sim=$!
for _ in $(seq 50); do
    device=$(sed -n 's/^device: //p' "$work/sim.out")
    [ -n "$device" ] && break
    sleep 0.1
done
[ -n "$device" ] || { echo "the simulator did not start" >&2; exit 1; }

TIMEFORMAT='%R %U %S'
{ time "$build/tq740-cli" --device "$device" --yes upload >"$work/reports.txt" 2>"$work/cli.err"; } 2>"$work/time"
read -r wall user sys <"$work/time"
kill "$sim"
wait "$sim" 2>/dev/null || true

# Every command ("> ...", plus its CR) and reply ("< ...") byte from the log,
# with the escapes \r \n \t \\ and \xHH counted as one byte each.
read -r exchanges bytes < <(awk '
    /^> / { n++; b += length(esc(substr($0, 3))) + 1 }
    /^< / { b += length(esc(substr($0, 3))) }
    function esc(s) { gsub(/\\x[0-9A-Fa-f][0-9A-Fa-f]|\\[rnt\\]/, "X", s); return s }
    END { print n, b }' "$work/sim.log")

awk -v n="$exchanges" -v b="$bytes" -v wall="$wall" -v user="$user" -v sys="$sys" \
    -v lines="$(wc -l <"$work/reports.txt")" 'BEGIN {
    floor = b * 10 / 9600
    cpu = user + sys
    printf "report lines uploaded: %d\n", lines
    printf "exchanges:             %d\n", n
    printf "bytes on the line:     %d\n", b
    printf "line-time floor:       %.1f s\n", floor
    printf "wall time:             %.1f s\n", wall
    printf "wall / floor:          %.3f  (target: 1.05 or less)\n", wall / floor
    printf "client CPU:            %.2f s  (%.1f%% of wall; target: under 2%%)\n", cpu, 100 * cpu / wall
}'

"$build/tq740-bench-open" 100000 2>/dev/null
