#!/usr/bin/env bash
# Runs a11y_check.py against both editions, in the C locale and in German, each
# on a private virtual X display with its own session bus and AT-SPI bus, so a
# desktop the caller may have is never touched.
#
#   run_a11y.sh PATH/TO/Orvane PATH/TO/OrvaneLite
#
# Exit status: 0 all passed, 1 a check failed or a tool is missing, 77 no X
# server could be started (the test is then skipped).
set -u

here=$(cd "$(dirname "$0")" && pwd)
full_exe=${1:-$here/../../build/Orvane}
lite_exe=${2:-$here/../../build/OrvaneLite}
python=/usr/bin/python3 # Debian's, which has the gi bindings pyatspi needs
check_timeout=45        # seconds for one edition in one locale

fail() {
  echo "run_a11y: $*" >&2
  exit 1
}

for exe in "$full_exe" "$lite_exe"; do
  [ -x "$exe" ] || fail "no program at $exe; build first"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/orvane-a11y.XXXXXX") || fail "cannot make a temporary directory"
xvfb_pid=
bus_pid=
launcher_pid=
app_pid=
check_pid=

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

# The AT-SPI launcher runs in a process group of its own, with the bus it
# starts and the registry that bus starts; they end together.
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

cleanup() {
  stop_pid "$check_pid"
  stop_pid "$app_pid"
  stop_group "$launcher_pid"
  stop_pid "$bus_pid"
  stop_pid "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT
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

# Nothing of the caller's desktop may leak in.
unset WAYLAND_DISPLAY AT_SPI_BUS_ADDRESS NO_AT_BRIDGE SESSION_MANAGER XAUTHORITY
export LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR=$work/runtime XDG_CACHE_HOME=$work/cache XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CACHE_HOME" "$XDG_CONFIG_HOME"
export GSETTINGS_BACKEND=memory

# The X server: Xvfb picks a free display and writes its number.
if command -v Xvfb >/dev/null; then
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  display_or_gone() { test -s "$work/display" || ! kill -0 "$xvfb_pid" 2>/dev/null; }
  wait_until 100 display_or_gone || true
fi
if [ ! -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
  why=$(grep -m1 -v '^[[:space:]]*$' "$work/xvfb.log" 2>/dev/null || echo "Xvfb not found; Debian's xvfb package has it")
  echo "run_a11y: skipped: no X server could be started ($why)" >&2
  exit 77
fi
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY

missing=()
command -v dbus-daemon >/dev/null || missing+=("dbus-daemon")
command -v dbus-send >/dev/null || missing+=("dbus-bin")
command -v xdotool >/dev/null || missing+=("xdotool")
command -v timeout >/dev/null || missing+=("coreutils")
launcher=
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
  [ -x "$candidate" ] && { launcher=$candidate; break; }
done
[ -n "$launcher" ] || missing+=("at-spi2-core")
"$python" -c 'import pyatspi' 2>/dev/null || missing+=("python3-pyatspi")
[ ${#missing[@]} -eq 0 ] || fail "missing ${missing[*]}; scripts/setup.sh installs them"

# The session bus, on which the AT-SPI launcher announces the accessibility bus.
dbus-daemon --session --nofork --print-address=4 4>"$work/bus" >"$work/bus.log" 2>&1 &
bus_pid=$!
wait_until 100 test -s "$work/bus" || fail "the session bus did not start: $(cat "$work/bus.log")"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS

# Started here rather than on demand, so that it is ours to end.
setsid "$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
launcher_pid=$!
has_a11y_bus() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
}
wait_until 100 has_a11y_bus || fail "the AT-SPI bus did not start: $(cat "$work/launcher.log")"

# Starts an edition, runs the check on it, ends it. Arguments: edition, its
# program, locale, the decimal separator that locale writes.
failed=0
check() {
  local edition=$1 exe=$2 locale=$3 decimal=$4
  local title
  title="$(basename "$exe") ($edition edition), LC_ALL=$locale"
  LC_ALL=$locale LANG=$locale QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$exe" >"$work/app.log" 2>&1 &
  app_pid=$!
  local status=0
  # In the background so that a signal to this script is acted on at once.
  timeout -k 5 "$check_timeout" "$python" "$here/a11y_check.py" \
    --pid "$app_pid" --edition "$edition" --decimal "$decimal" --title "$title" &
  check_pid=$!
  wait "$check_pid" || status=$?
  check_pid=
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "$title: FAILED (no result within $check_timeout s)"
  fi
  if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "$title: FAILED (the program exited during the test)"
    status=1
  fi
  stop_pid "$app_pid"
  app_pid=
  if [ "$status" -ne 0 ]; then
    failed=$((failed + 1))
    if [ -s "$work/app.log" ]; then
      echo "--- what the program printed:"
      cat "$work/app.log"
    fi
  fi
}

# The German run needs its locale generated (scripts/setup.d/locale.sh): Qt
# would write German numbers without it, but the C library would stay in "C",
# and the run would not be the one a German user has.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  fail "locale de_DE.UTF-8 is missing; scripts/setup.sh generates it"
fi

runs=0
for locale_run in "C.UTF-8 ." "de_DE.UTF-8 ,"; do
  read -r locale decimal <<<"$locale_run"
  check full "$full_exe" "$locale" "$decimal"
  check lite "$lite_exe" "$locale" "$decimal"
  runs=$((runs + 2))
done

echo "run_a11y: $((runs - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
