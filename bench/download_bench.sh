#!/usr/bin/env bash
# Download benchmark: one tag of 21 test points sent to the simulator at 9600
# baud with tq740-cli download, compared with the time the line itself needs.
# The exchanges counted are the whole command: identity and clock checks,
# free-space query and the 46 fields.
#
#   bench/download_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

start_simulator --baud 9600
TIMEFORMAT='%R %U %S'
{ time "$build/tq740-cli" --device "$device" download "$here/../examples/tags/PT-201.utg" \
      >"$work/cli.out" 2>"$work/cli.err"; } 2>"$work/time"
read -r wall user sys <"$work/time"
kill "$sim"
wait "$sim" 2>/dev/null || true

cat "$work/cli.out"
read -r exchanges bytes < <(line_traffic)
line_figures "$exchanges" "$bytes" "$wall" "$user" "$sys"
