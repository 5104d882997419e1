#!/usr/bin/env bash
# Group download benchmark: a group of 50 tags of 21 test points sent to an
# empty simulator at 9600 baud with tq740-cli download --group, compared with
# the time the line itself needs.  The exchanges counted are the whole
# command: identity and clock checks, the first free-space query, and for
# each tag its own query and 46 fields.
#
#   bench/group_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

# 50 tags of 21 points: the 21-point example under 50 tag IDs.
mkdir "$work/tags"
for n in $(seq -w 1 50); do
    sed "2s/PT-201/PT-2$n/" "$here/../examples/tags/PT-201.utg" >"$work/tags/PT-2$n.utg"
done
"$build/tq740-cli" group make "$work/tags/bench.ugp" "$work/tags"/*.utg 2>/dev/null

start_simulator --baud 9600
TIMEFORMAT='%R %U %S'
{ time "$build/tq740-cli" --device "$device" download --group "$work/tags/bench.ugp" \
      >"$work/cli.out" 2>"$work/cli.err"; } 2>"$work/time"
read -r wall user sys <"$work/time"
kill "$sim"
wait "$sim" 2>/dev/null || true

echo "loaded: $(grep -c '^Loaded' "$work/cli.out") of $(wc -l <"$work/cli.out")"
read -r exchanges bytes < <(line_traffic)
line_figures "$exchanges" "$bytes" "$wall" "$user" "$sys" "under 2% of wall"
