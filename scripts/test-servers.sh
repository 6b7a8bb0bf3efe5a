#!/usr/bin/env bash
# Starts a throwaway PostgreSQL 15 server on 127.0.0.1 and writes a private
# ODBC configuration (odbcinst.ini and odbc.ini) for the tests.
# Usage: source scripts/test-servers.sh start DIR   |   scripts/test-servers.sh stop DIR
set -euo pipefail

action=${1:?start or stop}
dir=${2:?folder for the server and the ODBC files}
pg_bin=/usr/lib/postgresql/15/bin
port=${KORVAN_TEST_PG_PORT:-54329}

stop_server() {
  if [ -f "$dir/pgdata/postmaster.pid" ]; then
    runuser -u postgres -- "$pg_bin/pg_ctl" -D "$dir/pgdata" -m immediate stop > /dev/null 2>&1 || true
  fi
}

if [ "$action" = stop ]; then
  stop_server
  exit 0
fi

mkdir -p "$dir"
chmod 755 "$dir"
stop_server
rm -rf "$dir/pgdata"
install -d -o postgres -g postgres "$dir/pgdata" "$dir/socket"
install -o postgres -g postgres -m 644 /dev/null "$dir/postgres.log"
runuser -u postgres -- "$pg_bin/initdb" -D "$dir/pgdata" -A trust -U postgres -E UTF8 --no-locale > "$dir/initdb.log" 2>&1
runuser -u postgres -- "$pg_bin/pg_ctl" -D "$dir/pgdata" -l "$dir/postgres.log" -w \
  -o "-p $port -k $dir/socket -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
  start > /dev/null
runuser -u postgres -- psql -h 127.0.0.1 -p "$port" -U postgres -q -c "CREATE DATABASE korvan_test" > /dev/null

psql_driver=$(find /usr/lib -name psqlodbcw.so | head -n 1)
sqlite_driver=$(find /usr/lib -name libsqlite3odbc.so | head -n 1)

# The DSN options KORVAN expects (README, "ODBC data sources").
cat > "$dir/odbcinst.ini" <<INI
[PostgreSQL Unicode]
Description = PostgreSQL ODBC driver (Unicode)
Driver = $psql_driver

[SQLite3]
Description = SQLite3 ODBC driver
Driver = $sqlite_driver
INI
cat > "$dir/odbc.ini" <<INI
[korvan_pg]
Description = PostgreSQL Unicode
Driver = PostgreSQL Unicode
Servername = 127.0.0.1
Port = $port
Database = korvan_test
Username = postgres
Protocol = 7.4-2
UseDeclareFetch = 1
Fetch = 1000
BoolsAsChar = 0
UseServerSidePrepare = 1

[korvan_sqlite]
Description = SQLite3
Driver = SQLite3
Database = $dir/odbc-test.sqlite
JournalMode = WAL
StepAPI = 1
Timeout = 5000
INI

export ODBCSYSINI="$dir"
export ODBCINI="$dir/odbc.ini"
export KORVAN_TEST_PG_DSN=korvan_pg
export KORVAN_TEST_SQLITE_DSN=korvan_sqlite
export KORVAN_TEST_REQUIRE_ODBC=1
export KORVAN_TEST_PG_PORT=$port
