#!/usr/bin/env bash
# Installs the Debian 12 packages KORVAN needs to build, run and be tested.
# Run as root; does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libxcb1-dev qt6-translations-l10n
  libsqlite3-dev sqlite3 libzip-dev
  unixodbc unixodbc-dev odbc-postgresql libsqliteodbc
  mdbtools-dev mdbtools
  postgresql-15 postgresql-client-15
  googletest libgtest-dev
  fonts-liberation xvfb xauth poppler-utils
  locales
  python3 file lintian
)
# python3 writes the manual pages; the Debian package (scripts/package.sh)
# needs dpkg-shlibdeps (dpkg-dev, with build-essential), file and lintian.

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The users run KORVAN under it_IT.UTF-8, where the decimal point is a comma;
# the tests run under it too. Generated once, kept in /etc/locale.gen so that
# a later locale-gen keeps it.
if ! locale -a 2>/dev/null | grep -qix 'it_IT\.utf-\?8'; then
  echo "Generating the it_IT.UTF-8 locale"
  if grep -q '^# *it_IT.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'it_IT.UTF-8 UTF-8' >> /etc/locale.gen
  fi
  locale-gen > /dev/null
fi
