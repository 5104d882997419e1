# Shared by the benchmark scripts: a private folder and settings, a simulator
# on a private pseudo-terminal and the figures of its log.  Source it after
# setting $build.

# Every benchmark works in a folder of its own with settings of its own, so it
# never touches the user's; the simulator it started is stopped at the end.
work=$(mktemp -d)
sim=
trap 'kill "$sim" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" HOME="$work"

# Starts tq740-sim with the given options and --log; sets $sim (its process
# id) and $device (its pseudo-terminal).
start_simulator() {
    "$build/tq740-sim" "$@" --log >"$work/sim.out" 2>"$work/sim.log" &
    sim=$!
    device=
    for _ in $(seq 50); do
        device=$(sed -n 's/^device: //p' "$work/sim.out")
        [ -n "$device" ] && break
        sleep 0.1
    done
    [ -n "$device" ] || { echo "the simulator did not start" >&2; exit 1; }
}

# Prints "exchanges bytes" from the simulator's log: every command ("> ...",
# plus its CR) and reply ("< ...") byte, with the escapes \r \n \t \\ and \xHH
# counted as one byte each.
line_traffic() {
    awk '
        /^> / { n++; b += length(esc(substr($0, 3))) + 1 }
        /^< / { b += length(esc(substr($0, 3))) }
        function esc(s) { gsub(/\\x[0-9A-Fa-f][0-9A-Fa-f]|\\[rnt\\]/, "X", s); return s }
        END { print n, b }' "$work/sim.log"
}

# Prints the exchanges, bytes, line-time floor at 9600 baud (10 bit times a
# byte), wall time, their ratio and the client CPU (with its target, if any).
#   line_figures EXCHANGES BYTES WALL USER SYS [CPU_TARGET]
line_figures() {
    awk -v n="$1" -v b="$2" -v wall="$3" -v user="$4" -v sys="$5" -v target="${6:-}" 'BEGIN {
        floor = b * 10 / 9600
        cpu = user + sys
        printf "exchanges:             %d\n", n
        printf "bytes on the line:     %d\n", b
        printf "line-time floor:       %.2f s\n", floor
        printf "wall time:             %.2f s\n", wall
        printf "wall / floor:          %.3f  (target: 1.05 or less)\n", wall / floor
        printf "client CPU:            %.2f s  (%.1f%% of wall%s)\n", cpu, 100 * cpu / wall, \
            target == "" ? "" : "; target: " target
    }'
}
