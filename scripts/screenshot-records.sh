#!/usr/bin/env bash
# Starts the window under a virtual X display, opens samples/failing.dat, presses Ctrl+L and
# then F8, and saves a picture of the records window (docs/records.png).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/records.png}
bash scripts/setup.sh xvfb xauth imagemagick xdotool
[[ -x build/app/certeditor ]] || { bash scripts/setup.sh; cmake -S . -B build -G Ninja; cmake --build build; }
mkdir -p "$(dirname "$out")"
# A copy of the program with no settings file beside it: the picture does not depend on
# earlier sessions.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build/app/certeditor "$work/"
# Without a window manager only the focused window gets the keys: focus before each.
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash -c '
  set -e
  "$1/certeditor" 2>/dev/null & pid=$!
  trap "kill $pid" EXIT
  main=$(xdotool search --sync --name "Create New Certificate File" | head -1)
  sleep 2
  xdotool windowfocus --sync "$main" key alt+e
  sleep 1
  xdotool key ctrl+a type --delay 10 "$2"
  xdotool key Return
  sleep 1
  xdotool windowfocus --sync "$main" key ctrl+l
  records=$(xdotool search --sync --name "^Records$" | head -1)
  sleep 1
  xdotool windowfocus --sync "$records" key F8
  sleep 1
  # F8 brought the main window forward to its failing field; the picture is of the records.
  xdotool windowraise "$records"
  sleep 1
  import -window "$records" "$0"' "$out" "$work" "$PWD/samples/failing.dat"
echo "saved $out"
