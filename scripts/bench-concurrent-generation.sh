#!/usr/bin/env bash
# Several operators at once on one PostgreSQL server: the region demo
# (korvan-demo --runs N, default 50,000) loaded into the test server, its
# lines extracted and every contract assigned, then the service days of the
# year generated once contract after contract and once with one
# korvan-batch generate-days process per contract, all at once. Prints each
# run's wall time, every process's exit status, and the conkal row count
# and checksum after each (they must be equal).
# Usage: scripts/bench-concurrent-generation.sh [RUNS]   (after a build; uses
# KORVAN_TEST_PG_PORT, default 54329, for a throwaway server)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-50000}
servers=$(mktemp -d /tmp/korvan-load-XXXXXX)
trap 'bash scripts/test-servers.sh stop "$servers"; rm -rf "$servers"' EXIT
set +u
source scripts/test-servers.sh start "$servers"
set -u
psql=(psql -q -X -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$KORVAN_TEST_PG_PORT" -U postgres -d korvan_test)
batch=build/src/korvan-batch
dsn=(--dsn "$KORVAN_TEST_PG_DSN")
period=(--period 01/01/2025 31/12/2025)

build/tools/korvan-demo --runs "$runs" --drop --postgres-copy - 2> /dev/null | PGOPTIONS=--client-min-messages=warning "${psql[@]}" > /dev/null
"$batch" extract-lines "${dsn[@]}" --yes > /dev/null
mapfile -t contracts < <("$batch" list contracts "${dsn[@]}" | while IFS=$'\t' read -r authority company; do
  echo "${authority:0:4} ${company:0:4}"
done)
for contract in "${contracts[@]}"; do
  read -r authority company <<< "$contract"
  "$batch" assign "${dsn[@]}" --authority "$authority" --company "$company" --euro-km 1,85 --yes > /dev/null
done
"${psql[@]}" -c 'ANALYZE'
echo "Contracts: ${#contracts[@]}, runs: $runs"

checksum() {
  "${psql[@]}" -At -c "SELECT COUNT(*), md5(string_agg(azienda || '|' || id || '|' || data || '|' || ente || '|' ||
    minima || '|' || euro, ',' ORDER BY azienda, id, data)) FROM conkal"
}
now() { date +%s.%N; }

"${psql[@]}" -c 'TRUNCATE conkal'
start=$(now)
for contract in "${contracts[@]}"; do
  read -r authority company <<< "$contract"
  "$batch" generate-days "${dsn[@]}" --authority "$authority" --company "$company" "${period[@]}" --yes > /dev/null
done
serial=$(echo "$(now) - $start" | bc)
serial_sum=$(checksum)

"${psql[@]}" -c 'TRUNCATE conkal'
start=$(now)
pids=()
for contract in "${contracts[@]}"; do
  read -r authority company <<< "$contract"
  "$batch" generate-days "${dsn[@]}" --authority "$authority" --company "$company" "${period[@]}" --yes \
    > "$servers/out.$authority.$company" 2> "$servers/err.$authority.$company" &
  pids+=($!)
done
statuses=()
for pid in "${pids[@]}"; do
  status=0
  wait "$pid" || status=$?
  statuses+=("$status")
done
parallel=$(echo "$(now) - $start" | bc)
parallel_sum=$(checksum)
cat "$servers"/err.* 2> /dev/null || true

echo "Serial:   ${serial} s   conkal ${serial_sum}"
echo "At once:  ${parallel} s   conkal ${parallel_sum}   exit statuses: ${statuses[*]}"
echo "Ratio (at once / serial): $(echo "scale=2; $parallel / $serial" | bc)"
[ "$serial_sum" = "$parallel_sum" ] && echo "conkal equal" || { echo "conkal DIFFERS"; exit 1; }
for status in "${statuses[@]}"; do [ "$status" = 0 ] || exit 1; done
