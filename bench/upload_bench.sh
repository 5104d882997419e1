#!/usr/bin/env bash
# Upload benchmark: 50 calibrated tags of 21 points from the simulator at
# 9600 baud, uploaded with tq740-cli, compared with the time the line itself
# needs; then the time to open a report file of 100,000 lines in the desktop
# program.
#
#   bench/upload_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
build=${1:-build}
. "$(dirname "$0")/common.sh"

start_simulator --full --baud 9600

TIMEFORMAT='%R %U %S'
{ time "$build/tq740-cli" --device "$device" --yes upload >"$work/reports.txt" 2>"$work/cli.err"; } 2>"$work/time"
read -r wall user sys <"$work/time"
kill "$sim"
wait "$sim" 2>/dev/null || true

read -r exchanges bytes < <(line_traffic)

printf "report lines uploaded: %d\n" "$(wc -l <"$work/reports.txt")"
line_figures "$exchanges" "$bytes" "$wall" "$user" "$sys" "under 2%"

"$build/tq740-bench-open" 100000 2>/dev/null
