#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything, runs every test through CTest, checks
# the install and the Debian package (installed and removed again), then cross-builds the
# Qt-free parts for Windows and runs their tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
ctest --test-dir build --output-on-failure
bash scripts/package-check.sh build
bash scripts/test-windows.sh build-windows
