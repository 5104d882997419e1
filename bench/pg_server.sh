# A private PostgreSQL server for the benchmarks, as the tests start one
# (tests/support/pg_server.h): a cluster in a new folder /tmp/tq740-pg-XXXXXX,
# superuser role tq740 trusted on the Unix socket in that folder, no TCP port.
# As root the server runs as nobody (PostgreSQL refuses root).  Source it,
# then call pg_start; pg_stop stops the server and removes the folder (the
# caller's EXIT trap calls it).  The server programs come from
# $TQ740_PG_BINDIR, else from the newest /usr/lib/postgresql/<version>/bin.

pg_bin=${TQ740_PG_BINDIR:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}
pg_folder=

pg_as_server_user() {
    if [ "$(id -u)" = 0 ]; then
        (cd "$pg_folder" && runuser -u nobody -- "$@")
    else
        (cd "$pg_folder" && "$@")
    fi
}

# Creates the cluster and starts the server; sets $pg_folder.  Says why and
# returns 1 when the server does not start.
pg_start() {
    [ -x "$pg_bin/initdb" ] || { echo "no PostgreSQL server programs (install postgresql, or set TQ740_PG_BINDIR)" >&2; return 1; }
    pg_folder=$(mktemp -d /tmp/tq740-pg-XXXXXX)
    chmod 755 "$pg_folder"
    [ "$(id -u)" = 0 ] && chown nobody: "$pg_folder"
    if ! pg_as_server_user "$pg_bin/initdb" -D "$pg_folder/data" -U tq740 --auth=trust -E UTF8 \
            --locale=en_US.UTF-8 --no-sync >"$pg_folder/initdb.log" 2>&1; then
        echo "initdb failed:" >&2
        tail -n 15 "$pg_folder/initdb.log" >&2
        return 1
    fi
    # Like the tests' servers: nothing forced to disk, every commit written.
    cat >>"$pg_folder/data/postgresql.conf" <<EOF
listen_addresses = ''
unix_socket_directories = '$pg_folder'
port = 5432
fsync = off
full_page_writes = off
max_connections = 50
EOF
    if ! pg_as_server_user "$pg_bin/pg_ctl" -D "$pg_folder/data" -l "$pg_folder/server.log" -w -t 20 start >/dev/null; then
        echo "the PostgreSQL server did not start; the end of its log:" >&2
        tail -n 15 "$pg_folder/server.log" >&2
        return 1
    fi
}

pg_stop() {
    [ -n "$pg_folder" ] || return 0
    if [ -f "$pg_folder/data/postmaster.pid" ]; then
        pg_as_server_user "$pg_bin/pg_ctl" -D "$pg_folder/data" stop -m fast -w -t 20 >/dev/null 2>&1 ||
            pg_as_server_user "$pg_bin/pg_ctl" -D "$pg_folder/data" stop -m immediate -w -t 10 >/dev/null 2>&1
    fi
    rm -rf "$pg_folder"
    pg_folder=
}

# Runs SQL as tq740 in the database; prints the rows unaligned.
#   pg_sql DATABASE STATEMENT
pg_sql() {
    "$pg_bin/psql" -X -q -A -t -v ON_ERROR_STOP=1 -h "$pg_folder" -p 5432 -U tq740 -d "$1" -c "$2"
}

# The records address of a database on the server.
#   pg_url DATABASE
pg_url() {
    printf 'postgresql://tq740@%s:5432/%s\n' "${pg_folder//\//%2F}" "$1"
}
