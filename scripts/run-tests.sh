#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, with a
# throwaway PostgreSQL server and a private ODBC configuration: the whole
# suite once in the C locale and once under it_IT.UTF-8 (the users' locale,
# with a decimal comma); it fails when either run fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh
bash scripts/build.sh
servers=$(mktemp -d /tmp/korvan-servers-XXXXXX)
trap 'bash "$root/scripts/test-servers.sh" stop "$servers"; rm -rf "$servers"' EXIT
set +u
source scripts/test-servers.sh start "$servers"
set -u
cd build
status=0
for test_locale in C it_IT.UTF-8; do
  echo "Running the tests with LC_ALL=$test_locale"
  LC_ALL=$test_locale ctest --output-on-failure --timeout 900 || status=1
done
exit $status
