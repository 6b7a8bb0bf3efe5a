#!/usr/bin/env bash
# Takes a picture of every window of KORVAN on the demo runs database into
# screenshots/<name>.png and prints their paths. Builds nothing: run
# scripts/run-korvan.sh or scripts/build.sh first. The pictures are taken by
# build/tools/screenshots/korvan-screenshots on Qt's offscreen platform, over
# a copy of the demo database (the demo file and the user's settings are not
# touched); faults it finds in a window (a clipped text, overlapping controls,
# an empty list) are printed and make the script fail.
set -uo pipefail
cd "$(dirname "$0")/.."

program=build/tools/screenshots/korvan-screenshots
demo_tool=build/tools/korvan-demo
if [ ! -x "$program" ] || [ ! -x "$demo_tool" ]; then
  echo "KORVAN is not built yet: run 'bash scripts/run-korvan.sh' or 'bash scripts/build.sh' first." >&2
  exit 1
fi

demo="${XDG_DATA_HOME:-$HOME/.local/share}/KORVAN/demo.sqlite"
if [ ! -f "$demo" ]; then
  mkdir -p "$(dirname "$demo")"
  "$demo_tool" --out "$demo" > /dev/null || exit 1
fi

mkdir -p screenshots
rm -f screenshots/*.png
# A message box nobody answers would wait forever: give up after 5 minutes.
timeout 300 "$program" --database "$demo" --out "$PWD/screenshots"
status=$?
case $status in
  0) ;;
  2) echo "Some windows have faults (above)." >&2 ;;
  124) echo "The screenshot program did not finish (a message box?)." >&2 ;;
  *) echo "The screenshot program failed." >&2 ;;
esac
exit $status
