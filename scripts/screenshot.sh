#!/usr/bin/env bash
# Starts the window under a virtual X display and saves a picture of it (docs/window.png).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/window.png}
command -v import >/dev/null && command -v xvfb-run >/dev/null || {
  sudo_cmd=(); [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    xvfb xauth imagemagick
}
[[ -x build/app/certeditor ]] || { bash scripts/setup.sh; cmake -S . -B build -G Ninja; cmake --build build; }
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
  build/app/certeditor & pid=$!
  sleep 3
  import -window root -crop 800x600+112+84 "$0"
  kill $pid' "$out"
echo "saved $out"
