# A private desktop session for the system tests, sourced by them: a virtual X
# display, a session bus and the AT-SPI accessibility bus, all started here and
# all ended when the sourcing script exits, so a desktop the caller may have is
# never touched.
#
#   source session.sh NAME    # NAME prefixes messages and the temporary directory
#   session_start             # exits 77 when no X server can be started
#
# Afterwards DISPLAY, DBUS_SESSION_BUS_ADDRESS and $work (a scratch directory)
# are set. A process the script starts itself goes into session_pids (ended
# politely, newest first) or, with children of its own, is started with setsid
# and goes into session_groups.

session_name=${1:-session}
python=/usr/bin/python3 # Debian's, which has the gi bindings pyatspi needs
session_pids=()
session_groups=()

fail() {
  echo "$session_name: $*" >&2
  exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/orvane-$session_name.XXXXXX") || fail "cannot make a temporary directory"

# Ends one process we started: politely, then for good after 5 seconds.
stop_pid() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill -TERM "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}

# Ends a process group we started with setsid, leader and children together.
stop_group() {
  local pgid=$1
  [ -n "$pgid" ] || return 0
  kill -TERM -- "-$pgid" 2>/dev/null || { wait "$pgid" 2>/dev/null; return 0; }
  for _ in $(seq 50); do
    kill -0 -- "-$pgid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL -- "-$pgid" 2>/dev/null
  wait "$pgid" 2>/dev/null
  return 0
}

# Scripts that start further processes of their own end them in a function
# named session_before_cleanup, which runs first.
session_cleanup() {
  if declare -F session_before_cleanup >/dev/null; then
    session_before_cleanup
  fi
  local i
  for ((i = ${#session_groups[@]} - 1; i >= 0; i--)); do
    stop_group "${session_groups[i]}"
  done
  for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
    stop_pid "${session_pids[i]}"
  done
  rm -rf "$work"
}
trap session_cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_until() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Fails naming the Debian packages of the missing tools. Arguments: pairs of a
# command and the package that has it.
need_tools() {
  local missing=()
  while [ $# -ge 2 ]; do
    command -v "$1" >/dev/null || missing+=("$2")
    shift 2
  done
  [ ${#missing[@]} -eq 0 ] || fail "missing ${missing[*]}; scripts/setup.sh installs them"
}

session_start() {
  # Nothing of the caller's desktop may leak in.
  unset WAYLAND_DISPLAY AT_SPI_BUS_ADDRESS NO_AT_BRIDGE SESSION_MANAGER XAUTHORITY
  export LC_ALL=C.UTF-8
  export XDG_RUNTIME_DIR=$work/runtime XDG_CACHE_HOME=$work/cache XDG_CONFIG_HOME=$work/config
  export XDG_DATA_HOME=$work/data HOME=$work/home
  mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CACHE_HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME"
  # Settings in a file of the private configuration directory, so that what one
  # process sets the others read.
  export GSETTINGS_BACKEND=keyfile

  # The X server: Xvfb picks a free display and writes its number. Without
  # -noreset it would reset when its last client leaves.
  local xvfb_pid=
  if command -v Xvfb >/dev/null; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
      3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    session_pids+=("$xvfb_pid")
    display_or_gone() { test -s "$work/display" || ! kill -0 "$xvfb_pid" 2>/dev/null; }
    wait_until 100 display_or_gone || true
  fi
  if [ ! -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
    local why
    why=$(grep -m1 -v '^[[:space:]]*$' "$work/xvfb.log" 2>/dev/null || echo "Xvfb not found; Debian's xvfb package has it")
    echo "$session_name: skipped: no X server could be started ($why)" >&2
    exit 77
  fi
  DISPLAY=":$(head -n1 "$work/display")"
  export DISPLAY

  need_tools dbus-daemon dbus-daemon dbus-send dbus-bin xdotool xdotool timeout coreutils \
    gsettings libglib2.0-bin
  local launcher=
  for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [ -x "$candidate" ] && { launcher=$candidate; break; }
  done
  [ -n "$launcher" ] || fail "missing at-spi2-core; scripts/setup.sh installs it"
  "$python" -c 'import pyatspi' 2>/dev/null || fail "missing python3-pyatspi; scripts/setup.sh installs it"

  # Toolkits and the AT-SPI launcher read this to decide whether assistive
  # technology is wanted.
  gsettings set org.gnome.desktop.interface toolkit-accessibility true 2>"$work/gsettings.log" ||
    fail "cannot set toolkit-accessibility: $(cat "$work/gsettings.log")"

  # The session bus, on which the AT-SPI launcher announces the accessibility bus.
  dbus-daemon --session --nofork --print-address=4 4>"$work/bus" >"$work/bus.log" 2>&1 &
  session_pids+=("$!")
  wait_until 100 test -s "$work/bus" || fail "the session bus did not start: $(cat "$work/bus.log")"
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
  export DBUS_SESSION_BUS_ADDRESS

  # Started here rather than on demand, so that it is ours to end; in a process
  # group of its own with the bus it starts and the registry that bus starts.
  setsid "$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
  session_groups+=("$!")
  has_a11y_bus() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
  }
  wait_until 100 has_a11y_bus || fail "the AT-SPI bus did not start: $(cat "$work/launcher.log")"
}

# Orca on the session, as a screen reader user has it: openbox as window
# manager (without one no window is ever active, and Orca says nothing), then
# Orca in a process group of its own, with a private settings directory and no
# speech server: it writes what it would say to its debug file, $debug_file,
# all the same. Orca buffers that file unless it is a terminal, so it writes to
# the terminal of `script`, which copies every line into the file at once.
# Returns once Orca has said it is on, with the time it was started in
# $orca_started. Needs orca, openbox and script.
orca_start() {
  # Orca refuses to start while another Orca of the same user runs, and must
  # not take that one's place: wait for it to end.
  no_other_orca() { ! pgrep -u "$(id -u)" -x orca >/dev/null; }
  if ! no_other_orca; then
    echo "$session_name: another Orca of this user is running; waiting for it to end" >&2
    wait_until 1200 no_other_orca || fail "another Orca of this user still runs after 2 minutes"
  fi

  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  session_pids+=("$!")

  debug_file=$work/orca-debug.txt
  mkdir -p "$work/orca"
  SPEECHD_CMD=/bin/false setsid script --quiet --flush --return \
    --command "orca -u '$work/orca' --debug-file /dev/stdout" "$debug_file" \
    </dev/null >"$work/orca.log" 2>&1 &
  session_groups+=("$!")
  orca_ready() { grep -q "SPEECH OUTPUT: 'Screen reader on.'" "$debug_file" 2>/dev/null; }
  orca_started=$(date +%s)
  wait_until 300 orca_ready || {
    cat "$work/orca.log" >&2
    tail -n 20 "$debug_file" >&2
    fail "Orca did not start within 30 seconds"
  }
  echo "$session_name: Orca ready after $(($(date +%s) - orca_started)) s"
}

# Runs a walk under Orca, `orca_walk LIMIT WALK.py [ARGS...]`, with Orca's debug
# file and a time limit of LIMIT seconds, prints its transcript and, when
# $transcript names a file, keeps it there with Orca's whole debug output
# beside it. Sets walk_status (0 when the walk passed) and walk_pid while it runs.
orca_walk() {
  local limit=$1
  shift
  walk_status=0
  timeout -k 5 "$limit" "$python" "$@" --debug-file "$debug_file" >"$work/walk.log" 2>&1 &
  walk_pid=$!
  wait "$walk_pid" || walk_status=$?
  walk_pid=
  cat "$work/walk.log"
  if [ -n "${transcript:-}" ]; then
    cp "$work/walk.log" "$transcript"
    cp "$debug_file" "$transcript.orca-debug"
  fi
  if [ "$walk_status" -eq 124 ] || [ "$walk_status" -eq 137 ]; then
    echo "$session_name: FAILED (no result within $limit s)"
  fi
}
