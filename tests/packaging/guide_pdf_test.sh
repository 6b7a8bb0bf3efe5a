#!/usr/bin/env bash
# korvan-guide-pdf, which draws the user guide's PDF for the package: an
# HTML fragment as pandoc writes it (headings, a paragraph, figures with
# captions, a table) becomes A4 pages with its title, its text and its
# pictures, a picture wider than the page shrunk to the text's width; a
# picture that cannot be read is named and no success is reported.
#
# Usage: guide_pdf_test.sh KORVAN-GUIDE-PDF KORVAN-RENDER-ICONS
set -uo pipefail

tool=${1:?korvan-guide-pdf}
render=${2:?korvan-render-icons}
work=$(mktemp -d /tmp/korvan-guide-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A picture of 1000 x 1000 pixels: wider than the 170 mm of text at 96 dpi.
"$render" "$work/pictures" 1000 32 || { echo "FAIL: no pictures"; exit 1; }
cat > "$work/guida.html" <<'HTML'
<h1 id="installazione">Installazione</h1>
<p>KORVAN si installa con il pacchetto Debian. Città, perché: è
così.</p>
<figure>
<img src="1000x1000/apps/korvan.png" alt="La finestra grande" />
<figcaption aria-hidden="true">La finestra grande</figcaption>
</figure>
<h2 id="tabella">Una tabella</h2>
<table>
<thead><tr class="header"><th>Colonna</th><th>Valore</th></tr></thead>
<tbody><tr class="odd"><td>Ente</td><td>0004</td></tr></tbody>
</table>
<figure>
<img src="32x32/apps/korvan.png" alt="L'icona" />
<figcaption aria-hidden="true">L'icona</figcaption>
</figure>
HTML
"$tool" "$work/guida.html" "$work/pictures" "$work/guida.pdf" "KORVAN - Guida" 2> "$work/err" ||
  fail "korvan-guide-pdf failed: $(cat "$work/err")"
info=$(pdfinfo "$work/guida.pdf" 2>&1)
[[ "$info" == *"Title:           KORVAN - Guida"* ]] || fail "no title: $info"
[[ "$info" == *"Page size:       595 x 842 pts (A4)"* ]] || fail "not A4: $info"
text=$(pdftotext "$work/guida.pdf" - 2> /dev/null | tr '\n' ' ')
for words in "Installazione" "Città, perché: è così." "grande" "Colonna" "0004" "L'icona"; do
  [[ "$text" == *"$words"* ]] || fail "the PDF lacks \"$words\": $text"
done
# The paragraph stays under its heading, not pushed down by the figure after it.
top=$(pdftotext -bbox "$work/guida.pdf" - 2> /dev/null | sed -n 's/.*yMin="\([0-9]*\).*>KORVAN<.*/\1/p' | head -n 1)
[ "${top:-999}" -lt 120 ] || fail "the paragraph under the heading starts at y=$top pt"
# The big picture is drawn 170 mm wide (1000 pixels at about 149 per inch),
# the small one as it is (96 per inch).
ppi=$(pdfimages -list "$work/guida.pdf" 2> /dev/null | awk '$4 == 1000 && $3 == "image" {print $13}')
[ "${ppi:-0}" -ge 145 ] && [ "${ppi:-0}" -le 155 ] || fail "the 1000-pixel picture is drawn at ${ppi:-no} pixels per inch"
small=$(pdfimages -list "$work/guida.pdf" 2> /dev/null | awk '$4 == 32 && $3 == "image" {print $13}')
[ "${small:-0}" = 96 ] || fail "the 32-pixel picture is drawn at ${small:-no} pixels per inch"

# A picture that cannot be read.
sed 's|32x32/apps/korvan.png|manca.png|' "$work/guida.html" > "$work/broken.html"
if "$tool" "$work/broken.html" "$work/pictures" "$work/broken.pdf" "KORVAN" 2> "$work/err"; then
  fail "a missing picture is reported as success"
fi
grep -q "manca.png" "$work/err" || fail "the missing picture is not named: $(cat "$work/err")"
[ ! -e "$work/broken.pdf" ] || fail "a PDF is written without its picture"

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
echo "korvan-guide-pdf passes every check"
