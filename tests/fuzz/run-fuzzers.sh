#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build and sums up.
#   run-fuzzers.sh BUILD_FOLDER SECONDS [RUNS [PARALLEL]]
# Each target runs for SECONDS, or until it has made RUNS executions when
# RUNS is given (0: no such limit); PARALLEL targets run at once (default 1).
# Each starts from its committed seeds (tests/fuzz/corpus/<name>); what it
# learns goes to BUILD_FOLDER/fuzz-corpus/<name>, so the committed seeds stay
# small.  An input that fails is written to tests/fuzz/crashes/<name>/, where
# `make test` replays it from then on.
set -uo pipefail
build=${1:?build folder}
seconds=${2:?seconds per target}
runs=${3:-0}
parallel=${4:-1}
here=$(cd "$(dirname "$0")" && pwd)

# The longest input worth trying per target: a few reports, a settings
# file, a conversation of a few dozen replies.
max_len() {
    case $1 in
    report_file|level1_stream|report_extract) echo 8192 ;;
    settings|tag_file|group_file|csv_list) echo 2048 ;;
    *) echo 1024 ;;
    esac
}

# Runs one target; its summary line goes to BUILD_FOLDER/fuzz-<name>.summary.
fuzz_one() {
    local program=$1 name=${1##*/fuzz_}
    local corpus="$build/fuzz-corpus/$name" crashes="$here/crashes/$name" log="$build/fuzz-$name.log"
    mkdir -p "$corpus" "$crashes"
    echo "== $name: up to $seconds s$( [ "$runs" -gt 0 ] && echo " or $runs executions"), inputs up to $(max_len "$name") bytes"
    local start=$SECONDS
    "$program" -max_total_time="$seconds" -runs="$( [ "$runs" -gt 0 ] && echo "$runs" || echo -1)" \
        -max_len="$(max_len "$name")" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$crashes/" "$corpus" "$here/corpus/$name" >"$log" 2>&1
    local result=$?
    local executed
    executed=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    local verdict="no finding"
    [ "$result" -ne 0 ] && verdict="FINDING (exit $result): see $log and $crashes"
    echo "$name: ${executed:-?} executions in $((SECONDS - start)) s, $verdict" | tee "$build/fuzz-$name.summary"
    return "$result"
}

# The targets that run slowest (they read and write real files) go first,
# so that running several at once ends them together.
programs=()
for program in "$build"/tests/fuzz/fuzz_settings "$build"/tests/fuzz/fuzz_report_file "$build"/tests/fuzz/fuzz_*; do
    case $program in */fuzz_replay_*) continue ;; esac
    [[ " ${programs[*]} " == *" $program "* ]] && continue
    [ -f "$program" ] && [ -x "$program" ] && programs+=("$program")
done

status=0
running=0
for program in "${programs[@]}"; do
    rm -f "$build/fuzz-${program##*/fuzz_}.summary"
    fuzz_one "$program" &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait -n || status=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
done

echo
echo "Fuzzing summary:"
for program in "${programs[@]}"; do cat "$build/fuzz-${program##*/fuzz_}.summary" 2>/dev/null; done
exit $status
