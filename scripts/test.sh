#!/usr/bin/env bash
# Installs what is missing, builds, starts a throwaway PostgreSQL server and
# runs every test on SQLite and PostgreSQL. Fails if any test was skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh --test
scripts/build.sh
# The tests' archives and the throwaway server live in memory where the
# machine has a tmpfs: thousands of commits then wait on no disk flush. What a
# flush protects is the engines' own work; the crash tests kill writers and
# look at what the engines kept, which a flush does not change.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
pgdir=$(mktemp -d "${TMPDIR:-/tmp}/orlavo-pg.XXXXXX")
trap '"$root/scripts/pgtest.sh" stop "$pgdir"' EXIT
pgenv=$(scripts/pgtest.sh start "$pgdir")
eval "$pgenv"
export ORLAVO_REQUIRE_PG=1
cd build
status=0
ctest --output-on-failure -j2 --timeout 600 2>&1 | tee ctest.log || status=$?
if grep -q '(Skipped)' ctest.log; then
    echo "Alcuni test sono stati saltati: il comando di test li richiede tutti." >&2
    exit 1
fi
exit $status
