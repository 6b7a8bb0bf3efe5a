#!/usr/bin/env bash
# Installs what is missing, builds KORVAN, generates the demo runs database
# (once) and starts KORVAN on it. Run as root on a fresh Debian 12 machine,
# from a graphical session.
#
#   demo database:  ${XDG_DATA_HOME:-~/.local/share}/KORVAN/demo.sqlite
#   settings store: ${XDG_CONFIG_HOME:-~/.config}/KORVAN/KORVAN.ini
#                   (created pointing at the demo database only when missing,
#                   as an installation would; KORVAN itself never creates it)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh

data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/KORVAN"
demo="$data_dir/demo.sqlite"
if [ ! -f "$demo" ]; then
  mkdir -p "$data_dir"
  echo "Generating the demo runs database: $demo"
  build/tools/korvan-demo --out "$demo"
fi

config_dir="${XDG_CONFIG_HOME:-$HOME/.config}/KORVAN"
store="$config_dir/KORVAN.ini"
if [ ! -e "$store" ]; then
  mkdir -p "$config_dir"
  # A quoted INI text: backslashes and double quotes escaped.
  quoted=$(printf '%s' "$demo" | sed -e 's/\\/\\\\/g' -e 's/"/\\"/g')
  cat > "$store" <<INI
[1.00]
Database="$quoted"
DsnOdbc=
RowSzAlfa=25
RowSzBlob=1
INI
  echo "Created the settings store: $store"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG

KORVAN is a desktop program and needs a graphical session: neither DISPLAY
nor WAYLAND_DISPLAY is set. Everything is built and ready:

  - run this command again from a desktop session (or with ssh -X), or
  - run it on a virtual screen:   xvfb-run -a bash scripts/run-korvan.sh
  - or take a picture of the main window:   bash scripts/screenshot.sh

MSG
  exit 1
fi

echo "Starting KORVAN (settings: $store)"
exec build/src/korvan
