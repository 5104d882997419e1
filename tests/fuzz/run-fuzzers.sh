#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a set time and sums up.
#   run-fuzzers.sh BUILD_FOLDER SECONDS
# Each target starts from its committed seeds (tests/fuzz/corpus/<name>); what
# it learns goes to BUILD_FOLDER/fuzz-corpus/<name>, so the committed seeds
# stay small.  An input that fails is written to tests/fuzz/crashes/<name>/,
# where `make test` replays it from then on.
set -uo pipefail
build=${1:?build folder}
seconds=${2:?seconds per target}
here=$(cd "$(dirname "$0")" && pwd)

# The longest input worth trying per target: a few reports, a settings
# file, a conversation of a few dozen replies.
max_len() {
    case $1 in
    report_file|level1_stream) echo 8192 ;;
    settings|tag_file) echo 2048 ;;
    *) echo 1024 ;;
    esac
}

status=0
summary=""
for program in "$build"/tests/fuzz/fuzz_*; do
    case $program in */fuzz_replay_*) continue ;; esac
    [ -x "$program" ] || continue
    name=${program##*/fuzz_}
    corpus="$build/fuzz-corpus/$name"
    crashes="$here/crashes/$name"
    log="$build/fuzz-$name.log"
    mkdir -p "$corpus" "$crashes"
    echo "== $name: $seconds s, inputs up to $(max_len "$name") bytes (log: $log)"
    "$program" -max_total_time="$seconds" -max_len="$(max_len "$name")" -timeout=20 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "$here/corpus/$name" >"$log" 2>&1
    result=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    [ "$result" -ne 0 ] && status=1
    line="$name: ${runs:-?} executions, exit $result, $( [ "$result" -eq 0 ] && echo "no finding" || echo "FINDING, see $log and $crashes")"
    echo "$line"
    summary+="$line"$'\n'
done
echo
echo "Fuzzing, $seconds s per target:"
printf '%s' "$summary"
exit $status
