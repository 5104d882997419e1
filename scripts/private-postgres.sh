#!/usr/bin/env bash
# A private PostgreSQL server, for the tests, the benchmark and for trying the
# program against a server: a cluster in a new folder /tmp/tq740-pg-XXXXXX,
# listening only on a Unix socket in that folder (no TCP port), superuser role
# tq740 trusted there, role tq740_pw asked for its password.  As root the
# server runs as nobody (PostgreSQL refuses root).
#
#   private-postgres.sh start [--watch PID]   prints the folder; with --watch,
#                                             stops it and removes the folder
#                                             once process PID is gone
#   private-postgres.sh kill FOLDER           dies at once, as in a crash (data kept)
#   private-postgres.sh restart FOLDER        starts again on the same data
#   private-postgres.sh stop FOLDER           stops and removes the folder
#   private-postgres.sh url FOLDER DATABASE   the records address of a database
#   private-postgres.sh sql FOLDER DATABASE STATEMENT...   runs SQL as tq740
#
# The server programs come from $TQ740_PG_BINDIR, else from the newest
# /usr/lib/postgresql/<version>/bin.  A failure says why (with the end of the
# server's log) and exits 1.
set -uo pipefail
bin=${TQ740_PG_BINDIR:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}

fail() { echo "$*" >&2; exit 1; }
as_server_user() {
    if [ "$(id -u)" = 0 ]; then (cd "$folder" && runuser -u nobody -- "$@"); else (cd "$folder" && "$@"); fi
}
pg_ctl_in() {  # ACTION [MODE]: bounded to 20 s
    as_server_user "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 20 "$1" ${2:+-m "$2"} >/dev/null
}
log_tail() { echo "the end of $folder/server.log:"; tail -n 15 "$folder/server.log" 2>/dev/null; }

command=${1:-}
folder=${2:-}
case $command in
start)
    [ -x "$bin/initdb" ] || fail "no PostgreSQL server programs (install postgresql, or set TQ740_PG_BINDIR)"
    # The server must hold none of the caller's files open (a pipe its caller
    # reads to the end would never end).
    for fd in /proc/$$/fd/*; do n=${fd##*/}; [ "$n" -gt 2 ] && [ "$n" -lt 255 ] && eval "exec $n>&-"; done 2>/dev/null
    folder=$(mktemp -d /tmp/tq740-pg-XXXXXX) || exit 1   # short: a socket path holds 107 bytes
    chmod 755 "$folder"
    [ "$(id -u)" = 0 ] && chown nobody: "$folder"
    if [ "${2:-}" = --watch ]; then
        # In a session of its own, so that a test's time-out (which kills the
        # test and its children) spares it.
        setsid -f bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 1; done
            [ -d "$2" ] && "$0" stop "$2"' "$0" "$3" "$folder" </dev/null >/dev/null 2>&1
    fi
    # A fixed locale that sorts by the language's rules, as a plant's server does.
    as_server_user "$bin/initdb" -D "$folder/data" -U tq740 --auth=trust -E UTF8 --locale=en_US.UTF-8 \
        --no-sync >"$folder/initdb.log" 2>&1 || fail "initdb failed: $(tail -n 15 "$folder/initdb.log")"
    # Nothing forced to disk, but every commit written before it returns, so
    # a killed server keeps every committed transaction.
    cat >>"$folder/data/postgresql.conf" <<EOF
listen_addresses = ''
unix_socket_directories = '$folder'
port = 5432
fsync = off
full_page_writes = off
max_connections = 50
shared_buffers = 32MB
EOF
    printf 'local all tq740_pw scram-sha-256\nlocal all all trust\n' >"$folder/data/pg_hba.conf"
    pg_ctl_in start || fail "the server did not start; $(log_tail)"
    echo "$folder"
    ;;
kill) pg_ctl_in stop immediate || fail "the server could not be killed" ;;
restart) pg_ctl_in start || fail "the server did not start again; $(log_tail)" ;;
stop)
    [ -d "$folder" ] || exit 0
    [ -f "$folder/data/postmaster.pid" ] && { pg_ctl_in stop fast || pg_ctl_in stop immediate; }
    rm -rf "$folder"
    ;;
url) printf 'postgresql://tq740@%s:5432/%s\n' "${folder//\//%2F}" "$3" ;;
sql)
    database=$3
    shift 3
    timeout 20 "$bin/psql" -X -q -A -t -v ON_ERROR_STOP=1 -h "$folder" -p 5432 -U tq740 -d "$database" -c "$*"
    ;;
*) fail "usage: $0 start [--watch PID] | kill|restart|stop FOLDER | url FOLDER DATABASE | sql FOLDER DATABASE STATEMENT" ;;
esac
