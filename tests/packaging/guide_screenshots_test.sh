#!/usr/bin/env bash
# scripts/guide-screenshots.sh, which puts the screenshot program's pictures
# into the user guide: it copies the pictures the pages use and only those,
# removes the ones no page uses any more, and refuses, changing nothing,
# when a page uses a picture the program did not take. Then the guide
# itself: every picture its pages use is there, and nothing else.
#
# Usage: guide_screenshots_test.sh SOURCE_DIR KORVAN-RENDER-ICONS
set -uo pipefail

source_dir=${1:?source folder}
render=${2:?korvan-render-icons}
script=$source_dir/scripts/guide-screenshots.sh
work=$(mktemp -d /tmp/korvan-guide-shots-test-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Real PNG pictures of three sizes stand for the screenshot program's.
"$render" "$work/icons" 16 22 24 || { echo "FAIL: no pictures"; exit 1; }
mkdir -p "$work/shots" "$work/guide/immagini"
cp "$work/icons/16x16/apps/korvan.png" "$work/shots/uno.png"
cp "$work/icons/22x22/apps/korvan.png" "$work/shots/due.png"
cp "$work/icons/24x24/apps/korvan.png" "$work/shots/tre.png"
cat > "$work/guide/01-a.md" <<'MD'
# Una pagina
![La prima](immagini/uno.png)
Testo, e di nuovo ![la seconda](immagini/due.png).
MD
cat > "$work/guide/02-b.md" <<'MD'
![Ancora la seconda](immagini/due.png)
MD
echo "vecchia" > "$work/guide/immagini/due.png"
cp "$work/shots/tre.png" "$work/guide/immagini/vecchia.png"

# The pictures the pages use are copied; the one no page uses goes.
bash "$script" --from "$work/shots" --guide "$work/guide" > "$work/out" 2>&1 || fail "refused: $(cat "$work/out")"
listed=$(cd "$work/guide/immagini" && ls | tr '\n' ' ')
[ "$listed" = "due.png uno.png " ] || fail "the guide's pictures are: $listed"
cmp -s "$work/shots/uno.png" "$work/guide/immagini/uno.png" || fail "uno.png is not the program's picture"
cmp -s "$work/shots/due.png" "$work/guide/immagini/due.png" || fail "the old due.png was not replaced"
grep -q "2 pictures" "$work/out" || fail "no count: $(cat "$work/out")"

# A page that uses a picture the program does not take: nothing changes.
echo '![Manca](immagini/manca.png)' >> "$work/guide/02-b.md"
rm "$work/shots/uno.png"
before=$(cd "$work/guide/immagini" && md5sum ./*)
if bash "$script" --from "$work/shots" --guide "$work/guide" > "$work/out" 2>&1; then
  fail "a missing picture is reported as success"
fi
grep -q "manca.png" "$work/out" || fail "the missing picture is not named: $(cat "$work/out")"
grep -q "uno.png" "$work/out" || fail "the picture no longer taken is not named: $(cat "$work/out")"
[ "$(cd "$work/guide/immagini" && md5sum ./*)" = "$before" ] || fail "the guide's pictures changed"

# The guide as committed: its pictures are exactly those its pages use,
# each a PNG, and they stay small.
guide=$source_dir/docs/guida
if [ -d "$guide" ]; then
  used=$(grep -oh 'immagini/[A-Za-z0-9_.-]*\.png' "$guide"/*.md | sed 's|^immagini/||' | sort -u)
  present=$(cd "$guide/immagini" && ls ./*.png 2> /dev/null | sed 's|^\./||' | sort)
  [ -n "$used" ] || fail "the guide uses no picture"
  [ "$used" = "$present" ] || fail "pictures used and present differ: $(diff <(echo "$used") <(echo "$present") | tr '\n' ' ')"
  total=0
  for picture in "$guide"/immagini/*.png; do
    head -c 8 "$picture" | od -An -tx1 | grep -q "89 50 4e 47 0d 0a 1a 0a" || fail "not a PNG: $picture"
    total=$((total + $(stat -c %s "$picture")))
  done
  [ "$total" -le $((3 * 1024 * 1024)) ] || fail "the guide's pictures take $((total / 1024)) KiB"
fi

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
echo "guide-screenshots.sh passes every check"
