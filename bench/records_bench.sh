#!/usr/bin/env bash
# Records benchmark: 10,000 tag reports of 21 test points, in two TXT files
# of 5,000 (distinct tags and dates), recorded with tq740-cli records import;
# then records show of one tag (process start included) and records verify;
# then the size of the database per point-table row.
#
#   bench/records_bench.sh [BUILD_DIR]      (default: build)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
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
