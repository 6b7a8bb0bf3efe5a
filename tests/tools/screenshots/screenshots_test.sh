#!/usr/bin/env bash
# The screenshot program on a fresh demo database: every registered window
# gives a PNG picture and none has a fault (exit status 0). Options after
# the two programs go to the screenshot program (--window 900x600).
# Usage: screenshots_test.sh KORVAN-DEMO KORVAN-SCREENSHOTS [OPTION...]
set -uo pipefail
demo_tool=$1
program=$2
shift 2
work=$(mktemp -d /tmp/korvan-shots-test-XXXXXX)
trap 'rm -rf "$work"' EXIT

"$demo_tool" --out "$work/demo.sqlite" > /dev/null || { echo "no demo database"; exit 1; }
before=$(md5sum < "$work/demo.sqlite")
"$program" --database "$work/demo.sqlite" --out "$work/shots" "$@" > "$work/list.txt"
status=$?
cat "$work/list.txt"
[ "$status" -eq 0 ] || { echo "korvan-screenshots ended with status $status"; exit 1; }

count=0
while IFS= read -r picture; do
  [ -s "$picture" ] || { echo "missing picture $picture"; exit 1; }
  head -c 8 "$picture" | od -An -tx1 | grep -q "89 50 4e 47 0d 0a 1a 0a" || { echo "not a PNG: $picture"; exit 1; }
  count=$((count + 1))
done < "$work/list.txt"
# The windows of the shell, the line and accounting commands and the report
# choices at least.
[ "$count" -ge 21 ] || { echo "only $count pictures"; exit 1; }
# The demo file itself is not changed (the pictures use a copy).
[ "$(md5sum < "$work/demo.sqlite")" = "$before" ] || { echo "the demo database was changed"; exit 1; }
echo "$count pictures"
