#!/usr/bin/env bash
# Starts the calibrator simulator on COM1 with its demonstration tags, then the
# desktop program; stops the simulator when the program exits.
set -euo pipefail
build=${1:-build}
docs=$(xdg-user-dir DOCUMENTS 2>/dev/null || echo "$HOME/Documents")
mkdir -p "$docs/NORVATQ740"
"$build/tq740-sim" --demo --port 1 --state "$docs/NORVATQ740/simulator-state" >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
sleep 0.5
"$build/tq740-sw"
