#!/usr/bin/env bash
# Starts the calibrator simulator on COM1 with its demonstration tags, then the
# desktop program; stops the simulator when the program exits.
set -euo pipefail
build=${1:-build}
# The documents folder as the program finds it: XDG_DOCUMENTS_DIR, from the
# environment or the user-dirs file, else ~/Documents.
docs=${XDG_DOCUMENTS_DIR:-}
dirs_file="${XDG_CONFIG_HOME:-$HOME/.config}/user-dirs.dirs"
if [ -z "$docs" ] && [ -f "$dirs_file" ]; then
    docs=$(sed -n 's/^XDG_DOCUMENTS_DIR="\(.*\)"$/\1/p' "$dirs_file" | sed "s|\$HOME|$HOME|")
fi
docs=${docs:-$HOME/Documents}
mkdir -p "$docs/NORVATQ740"
# The tag folder the program starts in: its tag_config_directory setting, or
# the documents folder on a first run.  When it holds no tag file yet, the
# example tags go there, so a tag can be downloaded at once.
ini="${XDG_CONFIG_HOME:-$HOME/.config}/NORVATQ740/NORVATQ740.ini"
tags=$(sed -n 's/^[[:space:]]*[Tt][Aa][Gg]_[Cc][Oo][Nn][Ff][Ii][Gg]_[Dd][Ii][Rr][Ee][Cc][Tt][Oo][Rr][Yy][[:space:]]*=[[:space:]]*//p' \
    "$ini" 2>/dev/null | head -n 1 | sed 's/[[:space:]]*$//' || true)
tags=${tags:-$docs/NORVATQ740}
if [ -d "$tags" ] && ! compgen -G "$tags/*.utg" >/dev/null; then
    cp "$(dirname "$0")/../examples/tags/"*.utg "$tags/"
fi
"$build/tq740-sim" --demo --port 1 --state "$docs/NORVATQ740/simulator-state" >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
# Wait (5 s at most) until the simulator has made COM1 point at its line.
link="${XDG_CONFIG_HOME:-$HOME/.config}/NORVATQ740/COM1"
for _ in $(seq 50); do
    [ -L "$link" ] && break
    sleep 0.1
done
"$build/tq740-sw"
