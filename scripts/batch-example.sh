#!/usr/bin/env bash
# The monthly routine of one contract, from a script: extract the normalized
# lines, assign the base accounting values of the contract's runs, and
# generate its service days for March, then list the runs of one line as
# CSV, on the demo runs database.
#
#   bash scripts/batch-example.sh [DATABASE.sqlite] [BUILD_DIR]
#
# The database is generated with korvan-demo when the file does not exist
# (default: ./batch-demo.sqlite; the demo calendar year is 2025).
set -euo pipefail

db="${1:-batch-demo.sqlite}"
build="${2:-$(dirname "$0")/../build}"
batch="$build/src/korvan-batch"

if [ ! -f "$db" ]; then
  "$build/tools/korvan-demo" --out "$db"
fi

# 1. Rebuild the normalized lines (--yes answers the confirmation).
"$batch" extract-lines --db "$db" --yes

# 2. The first contract the dialogs offer: "0004 - Name<TAB>0001 - Name".
contracts=$("$batch" list contracts --db "$db")
first=${contracts%%$'\n'*}
authority=${first:0:4}
company_entry=${first#*$'\t'}
company=${company_entry:0:4}
echo "Contract: $first"

# 3. Minimum service of the granting authority at 1,85 euro per km, for every
#    run of the contract.
"$batch" assign --db "$db" --authority "$authority" --company "$company" --euro-km 1,85 --yes

# 4. The service days of the contract for March 2025.
"$batch" generate-days --db "$db" --authority "$authority" --company "$company" \
  --period 01/03/2025 31/03/2025 --yes

# 5. The runs of the contract's line number 38 by amount, as the run browser lists
#    them, into a CSV file for a spreadsheet.
"$batch" runs --db "$db" --authority "$authority" --company "$company" --line-number 38 --order amount \
  --csv "${db%.sqlite}-corse.csv"
