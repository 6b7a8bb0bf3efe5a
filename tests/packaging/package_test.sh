#!/usr/bin/env bash
# The Debian package, as scripts/package.sh makes it: CPack builds it from
# the build folder into a temporary folder, lintian checks it, and dpkg-deb
# unpacks it into a temporary root, where its files are checked and its
# programs run: both --version (the package's version), korvan --help on the
# offscreen platform, and korvan-demo, korvan-batch extract-lines and
# korvan-batch report on a demo database.
#
# Usage: package_test.sh BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail

build=${1:?build folder}
source=${2:?source folder}
version=${3:?version}
work=$(mktemp -d /tmp/korvan-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# check DESCRIPTION COMMAND...: the command must succeed.
check() {
  local what=$1
  shift
  "$@" || fail "$what"
}

if ! (cd "$build" && cpack -G DEB -B "$work/out" > "$work/cpack.log" 2>&1); then
  cat "$work/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
fi
deb="$work/out/korvan_${version}_amd64.deb"
if [ ! -f "$deb" ]; then
  ls "$work/out"
  echo "FAIL: no $deb"
  exit 1
fi

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
check "Package is korvan" test "$(field Package)" = korvan
check "Version is $version (project())" test "$(field Version)" = "$version"
check "Architecture is amd64" test "$(field Architecture)" = amd64
depends=$(field Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libodbc2 libsqlite3-0; do
  [[ ", $depends," == *", $library "* ]] || fail "Depends has no $library: $depends"
done
recommends=$(field Recommends)
for package in odbc-postgresql libsqliteodbc fonts-liberation qt6-translations-l10n; do
  [[ ", $recommends," == *", $package,"* ]] || fail "Recommends has no $package: $recommends"
done
mkdir "$work/control"
dpkg-deb -e "$deb" "$work/control"
check "the settings for every user are a conffile" grep -qx /etc/xdg/KORVAN/KORVAN.ini "$work/control/conffiles"

# lintian: no error and no warning.
if command -v lintian > /dev/null; then
  lintian "$deb" > "$work/lintian.txt" 2>&1
  if grep -E '^[EW]: ' "$work/lintian.txt"; then
    fail "lintian finds errors or warnings"
  fi
else
  fail "lintian is not installed (scripts/install-deps.sh installs it)"
fi

# The files.
root="$work/root"
dpkg-deb -x "$deb" "$root"
for program in usr/bin/korvan usr/bin/korvan-batch usr/lib/korvan/korvan-demo usr/lib/korvan/korvan-schema; do
  check "$program is an executable" test -x "$root/$program"
  if readelf -d "$root/$program" | grep -qE 'RPATH|RUNPATH'; then
    fail "$program carries a library search path"
  fi
  if ldd "$root/$program" | grep -q 'not found'; then
    fail "$program needs a library that is not installed: $(ldd "$root/$program" | grep 'not found')"
  fi
done
check "the settings for every user are packaging/KORVAN.ini" cmp -s "$root/etc/xdg/KORVAN/KORVAN.ini" \
  "$source/packaging/KORVAN.ini"
desktop="$root/usr/share/applications/korvan.desktop"
for line in 'Type=Application' 'Exec=korvan' 'Icon=korvan' 'Terminal=false'; do
  check "korvan.desktop has $line" grep -qx "$line" "$desktop"
done
check "korvan.desktop is in the Office category" grep -qE '^Categories=(.*;)?Office;' "$desktop"
for size in 16 22 24 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/korvan.png"
  [[ "$(file -b "$icon")" == "PNG image data, $size x $size, "* ]] || fail "no $size x $size icon: $(file -b "$icon")"
done
doc="$root/usr/share/doc/korvan"
check "copyright" grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$doc/copyright"
check "the changelog's latest entry is $version" test "$(zcat "$doc/changelog.gz" | head -n 1 | cut -d ' ' -f 1-2)" = \
  "korvan ($version)"

# The programs report the package's version and start from the unpacked root.
export QT_QPA_PLATFORM=offscreen
check "korvan-batch --version" test "$("$root/usr/bin/korvan-batch" --version)" = "korvan-batch (KORVAN) $version"
check "korvan --version" test "$("$root/usr/bin/korvan" --version)" = "korvan (KORVAN) $version"
"$root/usr/bin/korvan" --help > "$work/korvan-help.txt" || fail "korvan --help"
check "korvan --help" grep -q '^Usage: korvan ' "$work/korvan-help.txt"

# The manual pages follow --help: every subcommand has its section, in both
# languages, and man formats them without a warning.
subcommands=$("$root/usr/bin/korvan-batch" --help | sed -n '/^Subcommands:/,/^[^ ]/s/^  \([a-z-]*\) .*/\1/p')
[ -n "$subcommands" ] || fail "korvan-batch --help lists no subcommands"
for language in en it; do
  folder=$([ $language = en ] && echo man1 || echo it/man1)
  for program in korvan korvan-batch; do
    page="$root/usr/share/man/$folder/$program.1.gz"
    zcat "$page" > "$work/page" || { fail "no $folder/$program.1.gz"; continue; }
    heading=$([ $language = en ] && echo NAME || echo NOME)
    check "$folder/$program.1 has its $heading" grep -qx ".SH $heading" "$work/page"
    check "$folder/$program.1 has the version" grep -q "^\.TH .* \"KORVAN $version\"" "$work/page"
    if command -v man > /dev/null; then
      warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 > /dev/null)
      [ -z "$warnings" ] || fail "man warns about $folder/$program.1: $warnings"
    fi
  done
  zcat "$root/usr/share/man/$folder/korvan-batch.1.gz" > "$work/page"
  for subcommand in $subcommands; do
    grep -qF ".SS \"korvan\\-batch ${subcommand//-/\\-}\"" "$work/page" || fail "$folder/korvan-batch.1 lacks $subcommand"
  done
done
# Every option of every subcommand's help is an item of its own on the page.
zcat "$root/usr/share/man/man1/korvan-batch.1.gz" > "$work/page"
for subcommand in $subcommands; do
  for option in $("$root/usr/bin/korvan-batch" "$subcommand" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p'); do
    term="\\fB${option//-/\\-}\\fR"
    grep -qF -- "$term" "$work/page" || fail "korvan-batch.1 has no item $option ($subcommand)"
  done
done
# ... whose term is the option and its values, nothing of its description.
long_terms=$(grep -E '^\\fB\\-\\-' "$work/page" | grep -vE '^\\fB(\\-)+[a-z\\-]+\\fR( \\fI[A-Z_\\-]+\\fR)*$')
[ -z "$long_terms" ] || fail "korvan-batch.1 has items whose term runs into their description: $long_terms"
check "the Italian page is in Italian" zgrep -qx '.SH SOTTOCOMANDI' "$root/usr/share/man/it/man1/korvan-batch.1.gz"
check "the English page is in English" zgrep -qx '.SH SUBCOMMANDS' "$root/usr/share/man/man1/korvan-batch.1.gz"

# A report on a demo database, by the unpacked programs.
db="$work/demo.sqlite"
check "korvan-demo" "$root/usr/lib/korvan/korvan-demo" --out "$db" --runs 300 > /dev/null
check "korvan-batch extract-lines" "$root/usr/bin/korvan-batch" extract-lines --db "$db" --yes > /dev/null
check "korvan-batch report" "$root/usr/bin/korvan-batch" report lines --db "$db" --pdf "$work/lines.pdf" \
  --csv "$work/lines.csv"
pages=$(pdfinfo "$work/lines.pdf" 2> /dev/null | sed -n 's/^Pages: *//p')
[ "${pages:-0}" -ge 1 ] || fail "the report's PDF has no pages"
check "the report's CSV names an authority" grep -q 'Provincia di Valdora' "$work/lines.csv"

if [ "$failures" -gt 0 ]; then
  echo "$failures checks of the package failed"
  exit 1
fi
echo "The package $deb passes every check"
