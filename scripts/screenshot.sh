#!/usr/bin/env bash
# Starts the window under a virtual X display and saves a picture of it (docs/window.png).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/window.png}
bash scripts/setup.sh xvfb xauth imagemagick
[[ -x build/app/certeditor ]] || { bash scripts/setup.sh; cmake -S . -B build -G Ninja; cmake --build build; }
mkdir -p "$(dirname "$out")"
# A copy of the program with no settings file beside it: the picture does not depend on
# earlier sessions, and the build folder's settings stay as they were.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build/app/certeditor "$work/"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
  "$1/certeditor" & pid=$!
  sleep 3
  import -window root -crop 800x600+112+84 "$0"
  kill $pid' "$out" "$work"
echo "saved $out"
