#!/usr/bin/env bash
# Starts or stops a throwaway PostgreSQL cluster for the tests: a temporary
# folder, a Unix socket there, no TCP, trust for the local user.
#   scripts/pgtest.sh start DIR   -> prints the exports for the tests
#   scripts/pgtest.sh stop DIR
set -euo pipefail
cmd=${1:?start|stop}
dir=${2:?folder}
bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bindir/initdb" ] || { echo "PostgreSQL server non installato" >&2; exit 1; }

# initdb refuses root: run the server as the postgres user then.
as_owner() {
    if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
owner=$(if [ "$(id -u)" = 0 ]; then echo postgres; else id -un; fi)

case "$cmd" in
start)
    mkdir -p "$dir"
    [ "$(id -u)" = 0 ] && chown postgres "$dir"
    chmod 700 "$dir"
    as_owner "$bindir/initdb" -D "$dir/data" -U "$owner" --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
        -o "-k $dir -c listen_addresses='' -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" start >/dev/null
    chmod 755 "$dir"
    echo "export ORLAVO_TEST_PGHOST=$dir ORLAVO_TEST_PGPORT=5432 ORLAVO_TEST_PGUSER=$owner"
    ;;
stop)
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$dir"
    ;;
esac
