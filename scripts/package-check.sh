#!/usr/bin/env bash
# Checks what `cmake --install` and `cpack -G DEB` make of a built tree, then installs the Debian
# package on this machine, runs its programs from /usr/bin and removes the package again.
# Usage: bash scripts/package-check.sh [BUILD_DIR]   (as root, or a user with sudo)
# shellcheck disable=SC2317,SC2001  # the checks run through `expect`; sed indents many lines
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)

[[ -f $build/CMakeCache.txt && -x $build/app/certeditor ]] || {
  echo "package check: build the project with the window in $build first" >&2
  exit 2
}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
app_id=$(sed -n 's/.*kAppId\[\] = "\(.*\)";/\1/p' "$build/generated/CertVersion.h")
[[ -n $version && -n $app_id ]] || { echo "package check: no version or app id in $build" >&2; exit 2; }

failures=0
checks=0
ok() { checks=$((checks + 1)); echo "ok      $*"; }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAILED  $*"; }
expect() {  # expect DESCRIPTION COMMAND...: the command's output is shown when it fails
  local what=$1 out
  shift
  if out=$("$@" 2>&1); then
    ok "$what"
  else
    fail "$what"
    [[ -z $out ]] || sed 's/^/        /' <<<"$out"
  fi
}

work=$(mktemp -d)
home=
installed_here=0
xvfb_pid=
window_pid=
cleanup() {
  [[ -z $window_pid ]] || kill "$window_pid" 2>/dev/null || true
  [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
  [[ -z $home ]] || rm -rf "$home"
  if ((installed_here)); then
    "${sudo_cmd[@]}" dpkg --purge certeditor >/dev/null || echo "could not remove certeditor" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

finish() {
  if ((failures)); then
    echo "package check: $failures of $checks checks failed"
    exit 1
  fi
  echo "package check: all $checks checks passed"
  exit 0
}

# A PNG's width and height, from its header.
png_size() {
  local w h
  read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$1")
  echo "${w}x${h}"
}

# Each option of a tool's --help appears in its man page.
man_covers_help() {  # man_covers_help PAGE.gz TOOL
  local text option
  text=$(zcat "$1" | sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\[,\/]//g')
  for option in $("$2" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -q -- "$option" <<<"$text" || { echo "        $1 lacks $option" >&2; return 1; }
  done
}

says_version() {  # says_version TOOL NAME
  [[ $("$1" --version) == "$2 $version" ]]
}

echo "== cmake --install"
stage=$work/stage
cmake --install "$build" --prefix "$stage" >/dev/null
tools=(certcheck certcsv)
for f in bin/certeditor bin/certcheck share/applications/"$app_id".desktop \
  share/metainfo/"$app_id".metainfo.xml share/icons/hicolor/scalable/apps/"$app_id".svg \
  share/man/man1/certeditor.1.gz; do
  expect "installs $f" test -f "$stage/$f"
done
for size in 16 24 32 48 64 128 256; do
  png=$stage/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  expect "icon ${size}x${size}" test "$( [[ -f $png ]] && png_size "$png")" = "${size}x${size}"
done
expect "certeditor --version says $version" says_version "$stage/bin/certeditor" certeditor
for tool in "${tools[@]}"; do
  expect "$tool --version says $version" says_version "$stage/bin/$tool" "$tool"
  page=$stage/share/man/man1/$tool.1.gz
  expect "man page of $tool covers its --help" man_covers_help "$page" "$stage/bin/$tool"
done
expect "desktop-file-validate" desktop-file-validate "$stage/share/applications/$app_id.desktop"
expect "appstreamcli validate --no-net" \
  appstreamcli validate --no-net --no-color "$stage/share/metainfo/$app_id.metainfo.xml"
newest=$(grep -o -m1 '<release version="[^"]*"' "$stage/share/metainfo/$app_id.metainfo.xml" |
  cut -d'"' -f2)
expect "the newest release in the metainfo is $version" test "$newest" = "$version"

echo "== cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || cat "$work/cpack.log"
debs=("$work"/deb/certeditor_*.deb)
expect "one package built" test ${#debs[@]} -eq 1 -a -f "${debs[0]}"
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || finish
deb=${debs[0]}
field() { dpkg-deb -f "$deb" "$1"; }
expect "Version $(field Version)" test "${version}-" = "$(field Version | sed 's/-.*/-/')"
expect "Section $(field Section)" test -n "$(field Section)"
expect "Maintainer $(field Maintainer)" test -n "$(field Maintainer)"
expect "Description" test "$(field Description | wc -l)" -gt 2
for dep in libc6 libstdc++6 libqt6widgets6 libqt6gui6 fonts-liberation2; do
  expect "depends on $dep" grep -q "\b$dep\b" <<<"$(field Depends)"
done
for tool in certeditor "${tools[@]}"; do
  expect "the package holds /usr/bin/$tool" grep -q " ./usr/bin/$tool$" <<<"$(dpkg-deb -c "$deb")"
done

echo "== dpkg -i"
if dpkg-query -W -f='${Status}' certeditor 2>/dev/null | grep -q "ok installed"; then
  echo "package check: certeditor is installed already; remove it to run this check" >&2
  exit 2
fi
installed_here=1
if ! "${sudo_cmd[@]}" dpkg -i "$deb" >"$work/dpkg.log" 2>&1; then
  # Dependencies the machine lacks: apt-get brings them and configures the package.
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -f -y -qq >>"$work/dpkg.log" 2>&1 ||
    true
fi
if dpkg-query -W -f='${Status}' certeditor 2>/dev/null | grep -q "install ok installed"; then
  ok "installs"
else
  fail "installs"
  cat "$work/dpkg.log"
fi
expect "/usr/bin/certeditor --version says $version" says_version /usr/bin/certeditor certeditor
for tool in "${tools[@]}"; do
  expect "/usr/bin/$tool --version says $version" says_version "/usr/bin/$tool" "$tool"
done
expect "/usr/bin/certcheck passes samples/passing.dat" /usr/bin/certcheck samples/passing.dat

# The window must come up and stay up; it is killed after a moment, so it writes no settings.
# On Xvfb it runs on the platform users have and shows its title; without Xvfb, offscreen.
title_shown() { xwininfo -display "$1" -root -tree 2>/dev/null | grep -q '"Create New Certificate File"'; }
window_starts() {
  local pid shown=1
  if command -v Xvfb >/dev/null && command -v xwininfo >/dev/null; then
    # Xvfb picks a free display itself and tells its number once it takes connections.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
    [[ -s $work/display ]] || { cat "$work/xvfb.log"; return 1; }
    local display
    display=:$(<"$work/display")
    DISPLAY=$display QT_QPA_PLATFORM=xcb /usr/bin/certeditor >"$work/window.log" 2>&1 &
    pid=$!
    for _ in $(seq 50); do
      title_shown "$display" && { shown=0; break; }
      sleep 0.2
    done
  else
    QT_QPA_PLATFORM=offscreen /usr/bin/certeditor >"$work/window.log" 2>&1 &
    pid=$!
    shown=0
  fi
  sleep 1
  kill -0 "$pid" 2>/dev/null || { sed 's/^/        /' "$work/window.log"; return 1; }
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  return $shown
}
# Not through expect: Xvfb must stay known to this shell, so that cleanup can end it.
if window_starts; then
  ok "/usr/bin/certeditor opens its window and stays"
else
  fail "/usr/bin/certeditor opens its window and stays"
fi

# Closing a window the way a window manager does: WM_DELETE_WINDOW, which Qt answers with the
# window's own close (the settings are written then).
ask_to_close() {  # ask_to_close DISPLAY WINDOW_ID
  /usr/bin/python3 - "$1" "$2" <<'PY'
import sys
from Xlib import X, display, protocol
d = display.Display(sys.argv[1])
w = d.create_resource_object("window", int(sys.argv[2], 0))
protocols, delete = d.intern_atom("WM_PROTOCOLS"), d.intern_atom("WM_DELETE_WINDOW")
w.send_event(protocol.event.ClientMessage(window=w, client_type=protocols,
                                          data=(32, [delete, X.CurrentTime, 0, 0, 0])))
d.flush()
PY
}
window_id() {  # window_id DISPLAY TITLE
  xwininfo -display "$1" -root -tree 2>/dev/null | grep -F "\"$2\"" | awk 'NR == 1 { print $1 }'
}
# The installed window, run by a user who cannot write /usr/bin and closed as a window manager
# closes it, writes its settings into that user's configuration folder, which it makes, and says
# nothing about /usr/bin. Root may write /usr/bin, so root runs it as nobody.
settings_go_to_the_users_folder() {
  [[ -n $xvfb_pid ]] || { echo "        needs Xvfb and xwininfo"; return 1; }
  local display id as_user=() ini
  display=:$(<"$work/display")
  home=$(mktemp -d)
  ini=$home/.config/certeditor/dovrane.ini
  if [[ $(id -u) -eq 0 ]]; then
    chown nobody:nogroup "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  env -u XDG_CONFIG_HOME HOME="$home" DISPLAY="$display" QT_QPA_PLATFORM=xcb \
    "${as_user[@]}" /usr/bin/certeditor >"$work/user-window.log" 2>&1 &
  window_pid=$!
  for _ in $(seq 50); do
    id=$(window_id "$display" "Create New Certificate File")
    [[ -n $id ]] && break
    sleep 0.2
  done
  [[ -n $id ]] || { echo "        the window did not show"; return 1; }
  ask_to_close "$display" "$id"
  for _ in $(seq 50); do
    kill -0 "$window_pid" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$window_pid" 2>/dev/null; then
    # An error box (titled with the program's name) holds the window open.
    echo "        the window did not close; its windows:"
    xwininfo -display "$display" -root -tree | grep '"' | sed 's/^/        /'
    return 1
  fi
  window_pid=
  [[ -f $ini ]] || { echo "        no $ini"; sed 's/^/        /' "$work/user-window.log"; return 1; }
  [[ ! -e /usr/bin/dovrane.ini ]] || { echo "        /usr/bin/dovrane.ini was written"; return 1; }
  grep -q '^Confir&m Delete=1' "$ini" && grep -q '^OutputFilename=c:\\tavcerti.dat' "$ini" ||
    { sed 's/^/        /' "$ini"; return 1; }
  [[ $(grep -c '=' "$ini") -eq 16 ]] || { sed 's/^/        /' "$ini"; return 1; }
}
if settings_go_to_the_users_folder; then
  ok "the installed window keeps its settings in ~/.config/certeditor/dovrane.ini"
else
  fail "the installed window keeps its settings in ~/.config/certeditor/dovrane.ini"
fi

finish
