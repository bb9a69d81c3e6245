# shellcheck shell=bash
# Sourced by the other scripts: a private Xvfb on a display it picks itself, and openbox.
#
#   ocu_start_xvfb 1280x1024x24     exports DISPLAY, sets OCU_XVFB_PID
#   ocu_start_wm                    openbox on $DISPLAY, once it has taken over
#   ocu_stop_xvfb                   stops both
#
# Run Wine programs with a window manager: without one, Wine waits two seconds for a
# window manager's answer each time a window is hidden or closed, and windows get no
# keyboard focus.

ocu_start_xvfb() {
  local screen=${1:-1280x1024x24} displayfile i
  displayfile=$(mktemp)
  # -displayfd: Xvfb picks a free display and writes its number once it accepts clients.
  # -noreset: the root picture stays when the last client goes.
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
  OCU_XVFB_PID=$!
  for ((i = 0; i < 300; i++)); do
    [[ -s "$displayfile" ]] && break
    kill -0 "$OCU_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  if [[ ! -s "$displayfile" ]]; then
    rm -f "$displayfile"
    echo "Xvfb did not start" >&2
    return 1
  fi
  DISPLAY=":$(head -n1 "$displayfile")"
  export DISPLAY
  rm -f "$displayfile"
}

ocu_start_wm() {
  local i
  openbox --sm-disable >/dev/null 2>&1 &
  OCU_WM_PID=$!
  for ((i = 0; i < 200; i++)); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$OCU_WM_PID" 2>/dev/null || break
    sleep 0.05
  done
  echo "openbox did not start" >&2
  return 1
}

ocu_stop_xvfb() {
  local pid
  for pid in "${OCU_WM_PID:-}" "${OCU_XVFB_PID:-}"; do
    [[ -n "$pid" ]] || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  OCU_WM_PID='' OCU_XVFB_PID=''
}
