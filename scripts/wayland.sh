# shellcheck shell=bash
# Sourced by the tests of the Wayland path: a private headless GNOME-like session, the way
# the native program meets one on a desktop.
#
#   ocu_start_wayland [WxH...]      mutter run headless with a virtual monitor of each size
#                                   (one of 1920x1080 by default; the first is the primary,
#                                   the others to its right), its Xwayland, PipeWire and
#                                   WirePlumber, the portal with GNOME's backend, all on a
#                                   session bus of their own
#   ocu_stop_wayland                stops all of it, leaves nothing behind
#
# Exports XDG_RUNTIME_DIR, DBUS_SESSION_BUS_ADDRESS, WAYLAND_DISPLAY, DISPLAY, XAUTHORITY,
# XDG_CURRENT_DESKTOP=GNOME and XDG_SESSION_TYPE=wayland; ocu_stop_wayland gives them back
# their earlier values. OCU_WAYLAND_MS tells how long the start took.
# OCU_WAYLAND_KEEP_LOGS=DIR keeps the services' logs in DIR when it stops.
#
# The services write their state (the portal's remembered permissions among it) under a
# folder of their own, so each start begins as a first login; the tests' own programs keep
# the caller's HOME and XDG folders.

OCU_WL_VARS=(XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY DISPLAY XAUTHORITY XDG_CURRENT_DESKTOP
  XDG_SESSION_TYPE)

# Polls a condition every 20 ms for up to $1 seconds, giving up early if the process
# started as NAME ($2) ended; on failure tells MESSAGE ($3) and the end of NAME's log, and
# undoes the start.
ocu_wl_until() {
  local seconds=$1 name=$2 message=$3 i
  shift 3
  for ((i = 0; i < seconds * 50; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    [[ -z "${OCU_WL_PIDS[$name]:-}" ]] || kill -0 "${OCU_WL_PIDS[$name]}" 2>/dev/null || break
    sleep 0.02
  done
  echo "wayland: $message" >&2
  tail -n 20 "$OCU_WL_DIR/logs/$name.log" >&2 || true
  ocu_stop_wayland
  return 1
}

ocu_wl_has_name() {
  [[ $(gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner "$1") == *true* ]]
}

# Starts a program in the services' environment as NAME, its output in logs/NAME.log.
ocu_wl_spawn() {
  local name=$1
  shift
  env "${OCU_WL_ENV[@]}" "$@" >"$OCU_WL_DIR/logs/$name.log" 2>&1 &
  OCU_WL_PIDS[$name]=$!
  # The shell still reaps it, but reports nothing when the stop has to kill it.
  disown "$!"
}

ocu_start_wayland() {
  local size dir rt var start display monitors=()
  start=$(date +%s%N)
  if [[ -n "${OCU_WL_DIR:-}" ]]; then
    echo "wayland: already started" >&2
    return 1
  fi
  for size in "${@:-1920x1080}"; do
    monitors+=(--virtual-monitor "$size")
  done
  # Mutter refuses a socket folder that is not world-writable and, where there is none,
  # makes one it then refuses itself.
  if [[ ! -d /tmp/.X11-unix ]] || [[ $(stat -c %a /tmp/.X11-unix) != 1777 ]]; then
    if ! mkdir -p /tmp/.X11-unix || ! chmod 1777 /tmp/.X11-unix; then
      echo "wayland: /tmp/.X11-unix must be mode 1777 (run as root once)" >&2
      return 1
    fi
  fi
  dir=$(mktemp -d /tmp/ocu-wayland.XXXXXX) || return 1
  rt=$dir/run
  mkdir -m 0700 "$rt" "$dir/logs" "$dir/home"
  OCU_WL_DIR=$dir
  declare -gA OCU_WL_PIDS=()
  OCU_WL_SAVED=()
  for var in "${OCU_WL_VARS[@]}"; do
    if [[ -v $var ]]; then OCU_WL_SAVED+=("$var=${!var}"); else OCU_WL_SAVED+=("$var"); fi
  done
  # The marker names every process of this session, those the bus starts too, so the stop
  # ends them and no other.
  OCU_WL_MARK="ocu-wayland-$$-${dir##*.}"
  OCU_WL_ENV=(OCU_WAYLAND_SESSION="$OCU_WL_MARK" XDG_DATA_HOME="$dir/home/data" XDG_CONFIG_HOME="$dir/home/config"
    XDG_CACHE_HOME="$dir/home/cache" XDG_STATE_HOME="$dir/home/state"
    # Without animations a new window shows its own pixels as soon as it is mapped, not a
    # zooming, fading copy of them for a quarter of a second.
    MUTTER_DEBUG_DISABLE_ANIMATIONS=1)
  export XDG_RUNTIME_DIR=$rt XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0
  unset DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS

  ocu_wl_spawn dbus dbus-daemon --session --nofork --address="unix:path=$rt/bus" --print-address=3 3>"$dir/bus"
  ocu_wl_until 10 dbus "the session bus did not start" test -s "$dir/bus" || return 1
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$dir/bus")
  export DBUS_SESSION_BUS_ADDRESS

  # Mutter runs the command after the end of its command line once Xwayland takes clients,
  # with the X display and its cookie in the environment; mutter quits when it ends.
  # shellcheck disable=SC2016  # expanded by that shell, in mutter's environment
  ocu_wl_spawn mutter mutter --headless --wayland --wayland-display=wayland-0 "${monitors[@]}" -- \
    sh -c 'printf "%s\n%s\n%s\n" "$$" "$DISPLAY" "$XAUTHORITY" >"$0.part" && mv "$0.part" "$0" && exec sleep infinity' \
    "$dir/x11"
  ocu_wl_spawn pipewire pipewire
  ocu_wl_until 20 mutter "mutter did not start" test -s "$dir/x11" || return 1
  { read -r OCU_WL_KEEPER && read -r display && read -r XAUTHORITY; } <"$dir/x11"
  DISPLAY=$display
  export DISPLAY XAUTHORITY
  ocu_wl_until 10 pipewire "pipewire did not start" test -S "$rt/pipewire-0" || return 1
  ocu_wl_spawn wireplumber wireplumber
  # What the bus starts on demand (the portal, its GNOME backend, again after a crash too,
  # the permission store, the accessibility bus) needs the displays as well.
  ocu_wl_until 1 dbus "the bus took no environment" gdbus call --session -d org.freedesktop.DBus \
    -o /org/freedesktop/DBus -m org.freedesktop.DBus.UpdateActivationEnvironment \
    "{'DISPLAY': '$DISPLAY', 'XAUTHORITY': '$XAUTHORITY', 'WAYLAND_DISPLAY': 'wayland-0', 'GDK_BACKEND': 'wayland'}" ||
    return 1
  ocu_wl_until 20 mutter "mutter took no D-Bus name" ocu_wl_has_name org.gnome.Mutter.ScreenCast || return 1
  ocu_wl_until 20 mutter "mutter took no D-Bus name" ocu_wl_has_name org.gnome.Mutter.RemoteDesktop || return 1
  # The bus starts the portal on the first call, and the portal its GNOME backend.
  ocu_wl_until 30 dbus "xdg-desktop-portal offers no RemoteDesktop" gdbus call --session \
    -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop \
    -m org.freedesktop.DBus.Properties.Get org.freedesktop.portal.RemoteDesktop version || return 1
  # Streams link only once the session manager watches the graph.
  ocu_wl_until 20 wireplumber "wireplumber did not start" \
    sh -c 'pw-cli ls Metadata | grep -q "metadata.name = \"default\""' || return 1
  # shellcheck disable=SC2034  # for the caller
  OCU_WAYLAND_MS=$((($(date +%s%N) - start) / 1000000))
}

# The processes carrying this session's marker: what it started and what those started.
ocu_wl_pids() {
  local f
  while read -r f; do
    f=${f#/proc/}
    echo "${f%/environ}"
  done < <(grep -lzx "OCU_WAYLAND_SESSION=$OCU_WL_MARK" /proc/[0-9]*/environ 2>/dev/null)
  return 0
}

# Ends this session's processes named NAME (by the kernel's 15-character name; all if
# empty): asks, waits up to $1 twentieths of a second, then kills what is left.
ocu_wl_end() {
  local ticks=$1 name=$2 pids pid i
  for ((i = 0; i <= ticks; i++)); do
    pids=''
    for pid in $(ocu_wl_pids); do
      [[ -z "$name" || $(cat "/proc/$pid/comm" 2>/dev/null) == "$name" ]] && pids+=" $pid"
    done
    [[ -n "$pids" ]] || return 0
    # shellcheck disable=SC2086  # one word a process
    if ((i == 0)) && [[ "$name" != mutter ]]; then
      kill $pids 2>/dev/null || true
    elif ((i == ticks)); then
      kill -9 $pids 2>/dev/null || true
    fi
    sleep 0.05
  done
  return 0
}

ocu_stop_wayland() {
  local dir=${OCU_WL_DIR:-} entry lock
  [[ -n "$dir" ]] || return 0
  # Mutter 43 spins instead of quitting while a remote-desktop session is open: the portal
  # goes first and takes its sessions along (a test ends its own helper_mutter first, or
  # the stop waits 1.5 s and kills mutter). The keeper's end then makes mutter quit,
  # taking Xwayland and its sockets with it, while the bus and PipeWire are still there.
  ocu_wl_end 20 xdg-desktop-por
  [[ -z "${OCU_WL_KEEPER:-}" ]] || kill "$OCU_WL_KEEPER" 2>/dev/null || true
  ocu_wl_end 30 mutter
  ocu_wl_end 60 ''
  # Left by a mutter that did not quit by itself.
  for lock in /tmp/.X*-lock; do
    [[ -f "$lock" && $(tr -d ' ' <"$lock") == "${OCU_WL_PIDS[mutter]:-none}" ]] || continue
    lock=${lock#/tmp/.X}
    rm -f "/tmp/.X${lock}" "/tmp/.X11-unix/X${lock%-lock}"
  done
  # The document portal mounts a FUSE folder in the runtime folder.
  if mountpoint -q "$dir/run/doc" 2>/dev/null; then
    fusermount3 -u "$dir/run/doc" 2>/dev/null || umount -l "$dir/run/doc" || true
  fi
  if [[ -n "${OCU_WAYLAND_KEEP_LOGS:-}" ]]; then
    mkdir -p "$OCU_WAYLAND_KEEP_LOGS"
    cp "$dir"/logs/*.log "$OCU_WAYLAND_KEEP_LOGS"/ || true
  fi
  rm -rf "$dir"
  for entry in "${OCU_WL_SAVED[@]}"; do
    if [[ "$entry" == *=* ]]; then export "${entry%%=*}=${entry#*=}"; else unset "$entry"; fi
  done
  OCU_WL_DIR='' OCU_WL_KEEPER='' OCU_WL_MARK='' OCU_WL_SAVED=() OCU_WL_ENV=() OCU_WL_PIDS=()
  return 0
}
