#!/usr/bin/env bash
# Builds the Debian package of KORVAN: build/korvan_<version>_amd64.deb,
# made by CPack from the build in build/ (scripts/build.sh), then checked
# by lintian (its report goes to build/lintian.txt). Run as root on Debian 12,
# from the repository's folder; installs what is missing first.
#
# The package holds korvan and korvan-batch (/usr/bin), korvan-demo and
# korvan-schema (/usr/lib/korvan), the desktop entry and icons, the manual
# pages in English and Italian, the settings for every user
# (/etc/xdg/KORVAN/KORVAN.ini), the copyright and changelog and, when
# docs/guida has pages and pandoc is installed, the user guide's PDF
# (/usr/share/doc/korvan/guida.pdf).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh

version=$(sed -n 's/^project(KORVAN VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
package="build/korvan_${version}_amd64.deb"
rm -f "$package"
(cd build && cpack -G DEB > cpack.log 2>&1) || { cat build/cpack.log; exit 1; }
[ -f "$package" ] || { echo "CPack wrote no $package:" >&2; cat build/cpack.log >&2; exit 1; }

# Help texts the Italian manual pages do not translate yet (packaging/man/it.po).
untranslated=$(cat build/packaging/man/*.untranslated-it.txt 2>/dev/null || true)
if [ -n "$untranslated" ]; then
  echo "The Italian manual pages leave these texts of --help in English (add them to packaging/man/it.po):" >&2
  printf '  %s\n' "$untranslated" >&2
fi

status=0
lintian --info --display-info "$package" > build/lintian.txt 2>&1 || status=$?
cat build/lintian.txt
if grep -q '^E: ' build/lintian.txt || [ "$status" -ge 2 ]; then
  echo "lintian finds errors in $package" >&2
  exit 1
fi
echo "Built $package"
