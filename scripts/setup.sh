#!/usr/bin/env bash
# Installs with apt-get whatever the build, the tests and the window need and is missing;
# with package names, whichever of those is missing.
#   bash scripts/setup.sh [PACKAGE...]
set -euo pipefail
packages=("$@")
((${#packages[@]})) || packages=(g++ cmake ninja-build pkg-config
          qt6-base-dev libgl-dev nlohmann-json3-dev libcsv-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          clang libclang-rt-14-dev
          xvfb xauth fonts-dejavu-core fonts-liberation2
          librsvg2-bin help2man dpkg-dev desktop-file-utils appstream x11-utils python3-xlib)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi
