#!/usr/bin/env bash
# Regenerates the pictures of the user guide: takes a picture of every window
# with build/tools/screenshots/korvan-screenshots on a fresh demo database,
# then copies into docs/guida/immagini/ the pictures that the guide's pages
# use (every "immagini/NAME.png" of docs/guida/*.md) and removes from there
# the ones no page uses. The pictures are never edited by hand: change a
# window or a shot, then run this again. Builds nothing (run
# scripts/build.sh first).
#
#   bash scripts/guide-screenshots.sh [--from FOLDER] [--guide FOLDER]
#
#   --from FOLDER   use the pictures already taken into FOLDER (for example
#                   by scripts/screenshot.sh) instead of taking them anew
#   --guide FOLDER  the guide's folder (default docs/guida)
set -uo pipefail
cd "$(dirname "$0")/.."

guide=docs/guida
from=
while [ $# -gt 0 ]; do
  case $1 in
    --from) from=${2:?--from needs a folder}; shift 2 ;;
    --guide) guide=${2:?--guide needs a folder}; shift 2 ;;
    *) echo "Usage: bash scripts/guide-screenshots.sh [--from FOLDER] [--guide FOLDER]" >&2; exit 2 ;;
  esac
done

# The pictures the pages use, once each.
mapfile -t used < <(grep -oh 'immagini/[A-Za-z0-9_.-]*\.png' "$guide"/*.md 2> /dev/null | sed 's|^immagini/||' | sort -u)
if [ ${#used[@]} -eq 0 ]; then
  echo "No page of $guide uses a picture (immagini/NAME.png)." >&2
  exit 1
fi

work=$(mktemp -d /tmp/korvan-guide-shots-XXXXXX)
trap 'rm -rf "$work"' EXIT
if [ -z "$from" ]; then
  program=build/tools/screenshots/korvan-screenshots
  demo_tool=build/tools/korvan-demo
  if [ ! -x "$program" ] || [ ! -x "$demo_tool" ]; then
    echo "KORVAN is not built yet: run 'bash scripts/build.sh' first." >&2
    exit 1
  fi
  "$demo_tool" --out "$work/demo.sqlite" > /dev/null || exit 1
  from=$work/shots
  # The language the office runs KORVAN in, when the machine has it.
  if locale -a 2> /dev/null | grep -qix 'it_IT\.utf-\?8'; then
    export LC_ALL=it_IT.UTF-8
  fi
  # A message box nobody answers would wait forever: give up after 5 minutes.
  timeout 300 "$program" --database "$work/demo.sqlite" --out "$from" > /dev/null
  status=$?
  if [ "$status" -ne 0 ]; then
    echo "The screenshot program ended with status $status: the guide's pictures are left as they were." >&2
    exit 1
  fi
fi

missing=()
for name in "${used[@]}"; do
  [ -s "$from/$name" ] || missing+=("$name")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "The pages use pictures that the screenshot program does not take:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  echo "The guide's pictures are left as they were." >&2
  exit 1
fi

mkdir -p "$guide/immagini"
for picture in "$guide"/immagini/*.png; do
  [ -e "$picture" ] || continue
  name=$(basename "$picture")
  printf '%s\n' "${used[@]}" | grep -qxF "$name" || rm -f "$picture"
done
total=0
for name in "${used[@]}"; do
  cp "$from/$name" "$guide/immagini/$name"
  size=$(stat -c %s "$guide/immagini/$name")
  total=$((total + size))
  echo "$guide/immagini/$name"
done
echo "${#used[@]} pictures, $((total / 1024)) KiB"
