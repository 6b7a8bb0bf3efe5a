#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, with a
# throwaway PostgreSQL server and a private ODBC configuration.
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
ctest --output-on-failure --timeout 900
