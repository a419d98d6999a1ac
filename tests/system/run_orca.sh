#!/usr/bin/env bash
# Runs the Orca screen reader on a private virtual desktop (session.sh), with
# openbox as window manager, starts the full edition and walks it with the
# keyboard through orca_walk.py, which checks what Orca would speak.
#
#   run_orca.sh PATH/TO/Orvane [TRANSCRIPT]
#
# TRANSCRIPT, if given, receives the walk's transcript, and TRANSCRIPT.orca-debug
# Orca's whole debug output. Exit status: 0 passed, 1 a check failed or a tool
# is missing, 77 no X server could be started (the test is then skipped).
set -u

here=$(cd "$(dirname "$0")" && pwd)
exe=${1:-$here/../../build/Orvane}
transcript=${2:-}
walk_timeout=420 # seconds for the whole walk

# shellcheck source=session.sh
source "$here/session.sh" run_orca

[ -x "$exe" ] || fail "no program at $exe; build first"

app_pid=
walk_pid=
session_before_cleanup() {
  stop_pid "$walk_pid"
  stop_pid "$app_pid"
}

session_start
need_tools orca orca openbox openbox script bsdutils

# Orca refuses to start while another Orca of the same user runs, and must not
# take that one's place: wait for it to end.
no_other_orca() { ! pgrep -u "$(id -u)" -x orca >/dev/null; }
if ! no_other_orca; then
  echo "run_orca: another Orca of this user is running; waiting for it to end" >&2
  wait_until 1200 no_other_orca || fail "another Orca of this user still runs after 2 minutes"
fi

# Without a window manager no window is ever active, and Orca says nothing.
openbox --sm-disable >"$work/openbox.log" 2>&1 &
session_pids+=("$!")

# Orca in a process group of its own, with a private settings directory and no
# speech server: it writes what it would say to its debug file all the same.
# Orca buffers that file unless it is a terminal, so it writes to the terminal
# of `script`, which copies every line into the file at once.
debug_file=$work/orca-debug.txt
mkdir -p "$work/orca"
SPEECHD_CMD=/bin/false setsid script --quiet --flush --return \
  --command "orca -u '$work/orca' --debug-file /dev/stdout" "$debug_file" \
  </dev/null >"$work/orca.log" 2>&1 &
session_groups+=("$!")
orca_ready() { grep -q "SPEECH OUTPUT: 'Screen reader on.'" "$debug_file" 2>/dev/null; }
wait_until 300 orca_ready || {
  cat "$work/orca.log" >&2
  tail -n 20 "$debug_file" >&2
  fail "Orca did not start within 30 seconds"
}

# A private sound server, so that the walk can listen to the pattern; without
# one the walk leaves that step out.
# shellcheck source=pulse.sh
source "$here/pulse.sh"
listen=(--listen)
if ! pulse_start; then
  echo "run_orca: no sound server ($pulse_why); the walk does not listen" >&2
  listen=()
fi

QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$exe" >"$work/app.log" 2>&1 &
app_pid=$!

status=0
timeout -k 5 "$walk_timeout" "$python" "$here/orca_walk.py" --debug-file "$debug_file" "${listen[@]}" \
  >"$work/walk.log" 2>&1 &
walk_pid=$!
wait "$walk_pid" || status=$?
walk_pid=
cat "$work/walk.log"
if [ -n "$transcript" ]; then
  cp "$work/walk.log" "$transcript"
  cp "$debug_file" "$transcript.orca-debug"
fi
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "run_orca: FAILED (no result within $walk_timeout s)"
fi
if ! kill -0 "$app_pid" 2>/dev/null; then
  echo "run_orca: FAILED (the program exited during the walk)"
  status=1
fi
if [ "$status" -ne 0 ] && [ -s "$work/app.log" ]; then
  echo "--- what the program printed:"
  cat "$work/app.log"
fi
[ "$status" -eq 0 ]
