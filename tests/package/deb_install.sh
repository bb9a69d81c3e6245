#!/usr/bin/env bash
# The Debian package as a user meets it: scripts/package writes it, apt-get installs it,
# the program starts from its desktop entry's command and shows its window, and apt-get
# removes every file again. Needs root (apt-get); exits 77 (skipped) otherwise.
#   deb_install.sh <native build folder>
set -euo pipefail
build=$(readlink -f "$1")
repo=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
[[ $(id -u) -eq 0 ]] || { echo "skipped: installing a package needs root"; exit 77; }
source "$repo/scripts/xserver.sh"

work=$(mktemp -d)
app_pid='' installed=''
cleanup() {
  [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null || true
  # A failed run leaves the machine as it found it.
  [[ -n "$installed" ]] && apt-get remove -y -q ocumira >/dev/null 2>&1 || true
  ocu_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

deb=$(OCU_PACKAGE_ONLY=deb OCU_PACKAGE_NATIVE="$build" OCU_PACKAGE_DIST="$work" "$repo/scripts/package" | tail -n1)
[[ -f "$deb" ]] || fail "scripts/package wrote no .deb"
# Worked out from the binary: the Qt libraries it links must be named.
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks Qt: $(dpkg-deb -f "$deb" Depends)"

installed=1
apt-get install -y -q "$deb" >"$work/install.txt" 2>&1 || { cat "$work/install.txt"; fail "apt-get install"; }
files=(/usr/bin/ocumira /usr/lib/ocumira/ocumira /usr/lib/ocumira/使い方.txt
       /usr/share/applications/Ocumira.desktop /usr/share/icons/hicolor/256x256/apps/ocumira.png)
for f in "${files[@]}"; do [[ -f "$f" ]] || fail "not installed: $f"; done
command=$(sed -n 's/^Exec=//p' /usr/share/applications/Ocumira.desktop)
[[ -n "$command" ]] || fail "the desktop entry has no Exec"

# Started as the desktop starts it: the command alone, found on the PATH, in a fresh home.
ocu_start_xvfb 1280x1024x24
ocu_start_wm
mkdir -p "$work/home"
(cd "$work/home" && HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" exec $command >"$work/run.txt" 2>&1) &
app_pid=$!
shown=''
for ((i = 0; i < 150; i++)); do
  if xdotool search --onlyvisible --name '^Lumivane Ocumira' >/dev/null 2>&1; then shown=1; break; fi
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
[[ -n "$shown" ]] || { cat "$work/run.txt"; fail "no Ocumira window from '$command'"; }
kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=''

apt-get remove -y -q ocumira >"$work/remove.txt" 2>&1 || { cat "$work/remove.txt"; fail "apt-get remove"; }
installed=
for f in "${files[@]}"; do [[ ! -e "$f" ]] || fail "left behind: $f"; done
echo "installed, started from the desktop entry, removed: $(basename "$deb")"
