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

orca_start

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

orca_walk "$walk_timeout" "$here/orca_walk.py" "${listen[@]}"
status=$walk_status
if ! kill -0 "$app_pid" 2>/dev/null; then
  echo "run_orca: FAILED (the program exited during the walk)"
  status=1
fi
if [ "$status" -ne 0 ] && [ -s "$work/app.log" ]; then
  echo "--- what the program printed:"
  cat "$work/app.log"
fi
[ "$status" -eq 0 ]
