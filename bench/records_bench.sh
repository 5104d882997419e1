#!/usr/bin/env bash
# Records benchmark: 10,000 tag reports of 21 test points, in two TXT files
# of 5,000 (distinct tags and dates), recorded with tq740-cli records import;
# then records show of one tag (process start included) and records verify;
# then the size of the database per point-table row.  Then the same
# 10,000 reports on a private PostgreSQL server (scripts/private-postgres.sh): one
# importer of all of them, and four importers of 2,500 each at once into
# another database.
#
#   bench/records_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
server="$(cd "$(dirname "$0")/.." && pwd)/scripts/private-postgres.sh"
pg_folder=
work=$(mktemp -d)
trap '[ -z "$pg_folder" ] || "$server" stop "$pg_folder"; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
export XDG_CONFIG_HOME="$work/config" HOME="$work" XDG_DATA_HOME="$work/data"
database="$work/records.sqlite"

# Reports in the program's TXT layout: 4..20 mA in, 0..100 % out, 0.5 %
# tolerance, 21 points, one of every 7 points off by 1 % (a Fail).
make_reports() {  # FIRST COUNT FILE
    awk -v first="$1" -v count="$2" 'BEGIN {
        for (r = first; r < first + count; r++) {
            if (r > first) printf "------------------------------\r\n\r\n"
            printf "Company Name: Bench Works\r\n\r\n"
            printf "Tag ID: BT-%05d\r\n", r
            printf "Calibrated: %4i/%02i/%02i %i:%02i:%02i\r\n", 2020 + int(r / 3000), 1 + int(r / 250) % 12, 1 + r % 28, r % 24, r % 60, (r * 7) % 60
            printf "Manufacturer:  Brandt\r\nModel Number:  TX-%d\r\nSerial Number: S%06d\r\n", r % 9, r
            printf "Technician: J. Okafor\r\nAmbient conditions:\r\n   Temperature: 21 C\r\n   Humidity:    45 %%\r\n"
            printf "Other information: bench\r\nTolerance: 0.500%%\r\nInstrument:\r\n"
            printf "   Input type:  Milliamp, mA\r\n      Range:   4.0000 to  20.0000\r\n"
            printf "   Output type: Volts, %%\r\n      Range:   0.0000 to 100.0000\r\n"
            printf "Calibrator: NORVA TQ740 S/N 1234567\r\n   Last Cal.: 2024/09/16\r\n\r\n"
            for (t = 0; t < 2; t++) {
                printf "%s\r\nPoint         mA          %%  %% Error\r\n", t == 0 ? "As Found Data" : "As Left Data"
                for (k = 1; k <= 21; k++) {
                    input = 4 + (k - 1) * 0.8; output = (k - 1) * 5
                    if (t == 0 && (k + r) % 7 == 0) output += 1
                    error = output - (k - 1) * 5
                    printf " %2i    %9.4f  %9.4f  %7.3f  %s\r\n", k, input, output, error, (error > 0.5 ? "Fail" : "Pass")
                }
                printf "\r\n"
            }
            for (p = 0; p < 4; p++) printf "                     \r\n"
            printf "Technician Signature ______________________________\r\n"
            for (p = 0; p < 4; p++) printf "                     \r\n"
            printf "Approval Signature   ______________________________\r\n"
            for (p = 0; p < 4; p++) printf "                     \r\n"
            printf "Date                 ______________________________\r\n                     \r\nComments:\r\n"
            for (p = 0; p < 15; p++) printf "                     \r\n"
        }
    }' >"$3"
}
make_reports 0 5000 "$work/first.txt"
make_reports 5000 5000 "$work/second.txt"

TIMEFORMAT='%R'
cli() { "$build/tq740-cli" --records "$database" "$@"; }
import_time=$( { time cli records import "$work/first.txt" "$work/second.txt" >"$work/import.out"; } 2>&1 )
show_time=$( { time cli records show BT-04321 >"$work/show.out"; } 2>&1 )
verify_time=$( { time cli records verify >"$work/verify.out"; } 2>&1 )
cat "$work/import.out" "$work/verify.out"
echo "point rows shown for one tag: $(grep -c '  Pass$\|  Fail$' "$work/show.out")"
rows=$((10000 * 42))
bytes=$(du -b "$database" | cut -f1)
for f in "$database-wal"; do [ -f "$f" ] && bytes=$((bytes + $(du -b "$f" | cut -f1))); done
echo "report files: $(du -b "$work/first.txt" | cut -f1) + $(du -b "$work/second.txt" | cut -f1) bytes"
echo "import of 10,000 reports: ${import_time} s (target under 10 s)"
echo "show of one tag: ${show_time} s (target under 0.2 s)"
echo "verify: ${verify_time} s (target under 5 s)"
echo "database: ${bytes} bytes, $((bytes / rows)) bytes per point-table row (target under 5 KB)"

# The same reports on a PostgreSQL server.
pg_folder=$("$server" start)
pg_sql() { "$server" sql "$pg_folder" "$@"; }
pg_sql postgres "CREATE DATABASE bench" && pg_sql postgres "CREATE DATABASE bench4"
pg_cli() { "$build/tq740-cli" --records "$("$server" url "$pg_folder" "$1")" "${@:2}"; }
pg_import_time=$( { time pg_cli bench records import "$work/first.txt" "$work/second.txt" >"$work/pg_import.out"; } 2>&1 ) ||
    { echo "$pg_import_time" >&2; exit 1; }
pg_show_time=$( { time pg_cli bench records show BT-04321 >"$work/pg_show.out"; } 2>&1 )
pg_verify_time=$( { time pg_cli bench records verify >"$work/pg_verify.out"; } 2>&1 )
for q in 0 1 2 3; do make_reports $((q * 2500)) 2500 "$work/quarter$q.txt"; done
importers() {
    local pids=() q failed=0
    for q in 0 1 2 3; do
        pg_cli bench4 records import "$work/quarter$q.txt" >"$work/pg_quarter$q.out" 2>&1 &
        pids+=($!)
    done
    for q in 0 1 2 3; do wait "${pids[$q]}" || failed=1; done
    return $failed
}
four_time=$( { time importers; } 2>&1 ) || { cat "$work/pg_quarter"[0-3].out >&2; exit 1; }
echo "PostgreSQL:"
cat "$work/pg_import.out" "$work/pg_quarter"[0-3].out "$work/pg_verify.out"
echo "4 importers at once: $(pg_cli bench4 records verify)"
echo "point rows shown for one tag: $(grep -c '  Pass$\|  Fail$' "$work/pg_show.out")"
echo "import of 10,000 reports: ${pg_import_time} s (target under 30 s)"
echo "4 importers of 2,500 reports each at once: ${four_time} s (target: no slower than one importer of all 10,000, ${pg_import_time} s)"
echo "show of one tag: ${pg_show_time} s"
echo "verify: ${pg_verify_time} s"
echo "database: $(pg_sql postgres "SELECT pg_database_size('bench')") bytes, $(( $(pg_sql postgres "SELECT pg_database_size('bench')") / rows )) bytes per point-table row"
