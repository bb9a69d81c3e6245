#!/usr/bin/env bash
# Checks the headless session of scripts/wayland.sh and the helpers the Wayland end-to-end
# tests drive it with, so that a broken session shows here and not as a riddle in the
# native program's tests.
#
#   selftest.sh HELPER_DIR       (where helper_mutter, helper_pattern and helper_portal are)
# shellcheck disable=SC2016  # the checks' commands are evaluated when they run
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bin=$(cd "${1:?usage: selftest.sh HELPER_DIR}" && pwd)
# shellcheck source=scripts/wayland.sh
source "$here/../../../scripts/wayland.sh"

work=$(mktemp -d)
passed=0 failed=0 pattern='' cover='' portal='' answer=''
finish() {
  [[ -z "$portal" ]] || kill "$portal" 2>/dev/null || true
  [[ -z "$pattern" ]] || kill "$pattern" 2>/dev/null || true
  [[ -z "$cover" ]] || kill "$cover" 2>/dev/null || true
  ocu_stop_wayland
  rm -rf "$work"
}
trap finish EXIT

check() {
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)) && echo "FAIL: $name" >&2; fi
}

# Waits up to 15 s for a line of FILE matching REGEX.
line_in() {
  local i
  for ((i = 0; i < 300; i++)); do
    grep -qE "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  echo "no line /$2/ in $1: $(tr '\n' '|' <"$1")" >&2
  return 1
}

# One command to helper_mutter, true if it answered ok; the answer in $answer.
user() {
  echo "$*" >&"${USER_IO[1]}"
  read -r -t 60 answer <&"${USER_IO[0]}"
  [[ "$answer" == ok* ]] || { echo "helper_mutter $* -> $answer" >&2; return 1; }
}
dialog_shown() { user consent shown && [[ "$answer" == "ok yes" ]]; }
dialog_comes() {
  local i
  for ((i = 0; i < 100; i++)); do
    dialog_shown && return 0
    sleep 0.1
  done
  return 1
}

# The pattern's colour at X,Y: R = x mod 256, G = y mod 256, B = (x div 256) * 16 + y div 256.
pattern_at() { echo "$(($1 % 256)) $(($2 % 256)) $((($1 / 256) * 16 + $2 / 256))"; }
screen_at() { convert "$work/screen.png" -crop "1x1+$1+$2" -depth 8 rgb:- | od -An -tu1 | xargs; }
shows_pattern() {
  local xy
  for xy in "0 0" "255 255" "256 511" "777 300" "1279 719"; do
    # shellcheck disable=SC2086
    [[ "$(screen_at $xy)" == "$(pattern_at $xy)" ]] || { echo "at $xy: $(screen_at $xy)" >&2; return 1; }
  done
}

# Starts helper_portal in the background, its answer in $work/portal.
ask_portal() {
  : >"$work/portal"
  "$bin/helper_portal" "$@" <"$work/hold" >"$work/portal" 2>&1 &
  portal=$!
}
end_portal() {
  kill "$portal" 2>/dev/null || true
  wait "$portal" 2>/dev/null || true
  portal=''
}

saved_display=${DISPLAY:-unset}
# A second monitor, smaller, to the right of the first.
ocu_start_wayland 1280x720 800x600
echo "selftest: the session started in $OCU_WAYLAND_MS ms"
mark=$OCU_WL_MARK dir=$OCU_WL_DIR
mkfifo "$work/hold"
exec 7<>"$work/hold"

check "Xwayland takes X clients, over both monitors" grep -q 'dimensions: *2080x720 pixels' <(xdpyinfo)
check "the portal offers monitors and the pointer as metadata" grep -q 'uint32 7' \
  <(gdbus call --session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop \
    -m org.freedesktop.DBus.Properties.Get org.freedesktop.portal.ScreenCast AvailableCursorModes)

coproc USER_IO { "$bin/helper_mutter"; }
read -r -t 20 line <&"${USER_IO[0]}" || line=''
check "helper_mutter stands its session up" test "$line" = ready

check "helper_pattern refuses to be an X client" grep -q '^error' <(QT_QPA_PLATFORM=xcb "$bin/helper_pattern" || true)
"$bin/helper_pattern" >"$work/pattern" 2>"$work/pattern.log" &
pattern=$!
check "helper_pattern is shown full screen" line_in "$work/pattern" '^ready$'
check "the screenshot has the pattern pixel for pixel as soon as it is shown" \
  eval 'user screenshot "$work/screen.png" && shows_pattern'
check "the screenshot spans both monitors" test "$(identify -format %wx%h "$work/screen.png")" = 2080x720
check "the pointer reaches the second monitor" eval 'user move 1700 400 && user screenshot "$work/cursor.png" cursor &&
  test "$(convert "$work/cursor.png" -crop 24x24+1700+400 -format "%[fx:maxima.r>0.9]" info:)" = 1'
check "a click lands on its pixel" eval 'user click 777 300 && line_in "$work/pattern" "^press 1 777 300$" &&
  line_in "$work/pattern" "^release 1 777 300$"'
check "the right button is the right one" eval 'user click 1279 719 right && line_in "$work/pattern" "^press 3 1279 719$"'
check "a key goes to the focused window" eval 'user key Return && line_in "$work/pattern" "^key 0xff0d$"'

ask_portal screencast
check "share answers the screen-cast dialog with a stream and a token" \
  eval 'user consent share && line_in "$work/portal" "^ok streams=[0-9]+ devices=0 token=.+$"'
token=$(sed -n 's/.*token=//p' "$work/portal")
end_portal
ask_portal screencast "$token"
check "the token restores the choice without a dialog" line_in "$work/portal" "^ok streams=[0-9]+ devices=0 token=$token$"
end_portal
ask_portal screencast
check "consent shown sees the dialog come" dialog_comes
check "cancel refuses" eval 'user consent cancel && line_in "$work/portal" "^cancelled$"'
check "consent shown sees it gone" eval '! dialog_shown'
end_portal
ask_portal screencast "$token"
check "end-casts ends the cast and the portal tells the program" \
  eval 'line_in "$work/portal" "^ok" && user end-casts && line_in "$work/portal" "^closed$"'
check "the monitors are back as they were" eval 'user click 1279 719 && line_in "$work/pattern" "^press 1 1279 719$"'
end_portal
ask_portal screencast
dialog_comes
"$bin/helper_pattern" >"$work/cover" 2>/dev/null &
cover=$!
check "share finds a dialog a full screen window came over" \
  eval 'line_in "$work/cover" "^ready$" && user consent share && line_in "$work/portal" "^ok"'
kill "$cover" && cover=''
end_portal
ask_portal remote
check "share-with-remote grants keyboard and pointer" \
  eval 'user consent share-with-remote && line_in "$work/portal" "^ok streams=[0-9]+ devices=3 token=$"'
end_portal
ask_portal remote
check "share grants the screen alone" eval 'user consent share && line_in "$work/portal" "^ok streams=[0-9]+ devices=0 token=$"'
end_portal

echo quit >&"${USER_IO[1]}"
kill "$pattern" && pattern=''
exec 7>&-
ocu_stop_wayland
check "the stop leaves no process behind" test -z "$(grep -lzx "OCU_WAYLAND_SESSION=$mark" /proc/[0-9]*/environ 2>/dev/null)"
check "the stop leaves no folder behind" test ! -e "$dir"
check "the stop gives DISPLAY back" test "${DISPLAY:-unset}" = "$saved_display"

echo "$passed passed, $failed failed"
((failed == 0))
