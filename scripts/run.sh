#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the editor and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target certeditor certcheck
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  cat <<'MSG'
There is no display on this machine, so the window cannot be shown here.
Run it on a virtual display instead:
    xvfb-run -a build/app/certeditor
or take a picture of it:
    bash scripts/screenshot.sh docs/window.png
MSG
  exit 1
fi
exec build/app/certeditor
