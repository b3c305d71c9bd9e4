#!/usr/bin/env bash
# Cross-builds the Qt-free parts (the core, certcheck, certcsv and their GoogleTest suites) for
# 64-bit Windows with Debian's MinGW-w64 and runs the suites under Wine, on a Debian 12 machine:
# installs with apt-get what is missing, builds libcsv from Debian's own source package.
#   bash scripts/test-windows.sh [build folder, default build-windows]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
root=$PWD

sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)

# What the cross build needs beyond scripts/setup.sh: the compilers, Wine (the wine package
# puts /usr/bin/wine on the PATH), GoogleTest's sources, and dpkg-source for libcsv's source.
bash scripts/setup.sh g++-mingw-w64-x86-64-posix wine wine64 googletest nlohmann-json3-dev \
  dpkg-dev cmake ninja-build

# libcsv: Debian has no MinGW build of it, so it is built from Debian's own source package.
# Fetching a source package needs a deb-src line; one for bookworm is added when there is none.
mkdir -p "$build/src"
csv_src=$(find "$build/src" -maxdepth 2 -name libcsv.c -printf '%h\n' 2>/dev/null | head -n1)
if [[ -z $csv_src ]]; then
  if ! apt-get source --print-uris libcsv >/dev/null 2>&1; then
    mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null |
             awk '$2 == "bookworm" { print $1; exit }')
    mirror=${mirror:-http://deb.debian.org/debian/}
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    {
      echo "Types: deb-src"
      echo "URIs: $mirror"
      echo "Suites: bookworm"
      echo "Components: main"
      [[ -f $keyring ]] && echo "Signed-By: $keyring"
    } | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/certeditor-deb-src.sources >/dev/null
    echo "Added Debian's bookworm source packages to apt's sources, for libcsv"
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  (cd "$build/src" && apt-get source -qq libcsv)
  csv_src=$(find "$build/src" -maxdepth 2 -name libcsv.c -printf '%h\n' | head -n1)
fi
csv_src=$(cd "$csv_src" && pwd)

# Wine keeps its own Windows folder; a throw-away one in the build folder leaves the user's
# alone and starts each run the same.
export WINEPREFIX="$root/$build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no offer to install .NET or Gecko
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "Making the Wine prefix"
  wineboot --init >/dev/null 2>&1 || wine wineboot --init >/dev/null 2>&1
  wineserver --wait
fi

cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DCERT_LIBCSV_SOURCE_DIR="$csv_src"
cmake --build "$build"
for exe in certcheck certcsv; do
  [[ -f $build/app/$exe.exe ]] || { echo "missing $build/app/$exe.exe" >&2; exit 1; }
done
status=0
ctest --test-dir "$build" --output-on-failure || status=$?
wineserver -k 2>/dev/null || true
exit $status
