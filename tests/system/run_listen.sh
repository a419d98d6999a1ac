#!/usr/bin/env bash
# The full edition played through a real sound server: a private PulseAudio with
# a null sink, started here on a private virtual desktop (session.sh); parec
# records the sink's monitor while a real key press (xdotool) asks the program to
# listen, and to turn the probing sound on and move the angle slider;
# listen_check.py analyses the recording.
#
#   run_listen.sh PATH/TO/Orvane [KEEP_DIR]
#
# KEEP_DIR, if given, receives the recording. Exit status: 0 passed, 1 a check
# failed or a tool is missing, 77 no X server or no sound server could be
# started (the test is then skipped).
set -u

here=$(cd "$(dirname "$0")" && pwd)
exe=${1:-$here/../../build/Orvane}
keep=${2:-}

# shellcheck source=session.sh
source "$here/session.sh" run_listen
# A reader that goes away early (| head) must not end the script before it has
# ended what it started.
trap '' PIPE

[ -x "$exe" ] || fail "no program at $exe; build first"

app_pid=
rec_pid=
session_before_cleanup() {
  stop_pid "$rec_pid"
  stop_pid "$app_pid"
}

session_start
need_tools parec pulseaudio-utils pacat pulseaudio-utils

# shellcheck source=pulse.sh
source "$here/pulse.sh"
if ! pulse_start; then
  echo "run_listen: skipped: no sound server could be started: $pulse_why" >&2
  exit 77
fi

# A stream of silence keeps the sink running, so that its monitor delivers from
# the moment parec connects rather than from the first sound.
pacat -d orvane_null --rate=$pulse_rate --channels=2 --format=float32le --raw /dev/zero \
  >"$work/pacat.log" 2>&1 &
session_pids+=("$!")

QT_QPA_PLATFORM=xcb "$exe" >"$work/app.log" 2>&1 &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" --name '^Orvane$' 2>/dev/null | head -n1)
[ -n "$window" ] || fail "the window did not show: $(cat "$work/app.log")"
xdotool windowfocus --sync "$window" || fail "cannot focus the window"

# The audio libraries the program has mapped: Qt Multimedia, the sound
# server's client and the sound output plugin, none before the first sound.
audio_mapped() { grep -oE '(libQt6Multimedia|libpulse|liborvane_sound)[^ /]*$' "/proc/$app_pid/maps" | sort -u | paste -sd' '; }
before=$(audio_mapped)
[ -z "$before" ] || fail "audio libraries mapped before anything played: $before"

# One recording of the sink's monitor for the whole test: the monitor delivers
# only some time after parec connects, more on a busy machine.
recording=$work/recording.f32
parec -d orvane_null.monitor --rate=$pulse_rate --channels=2 --format=float32le --latency-msec=100 \
  --raw "$recording" 2>"$work/parec.log" &
rec_pid=$!
bytes() { stat -c %s "$recording" 2>/dev/null || echo 0; }
frame_bytes=8 # two 32-bit floats
recording_runs() { [ "$(bytes)" -gt $((pulse_rate * frame_bytes / 5)) ]; }
wait_until 200 recording_runs || fail "parec recorded nothing: $(cat "$work/parec.log")"

# Sets the levels, presses L on the plot, waits for the sweep to play out, and
# checks that part of the recording. Arguments: name, the level sliders'
# positions the keys give, the keys that set them.
failed=0
listen() {
  local name=$1 s1=$2 s2=$3
  shift 3
  # The plot takes the focus from a click, the level sliders from Tab.
  xdotool mousemove --window "$window" 400 280 click 1
  xdotool key --delay 60 "$@"
  xdotool mousemove --window "$window" 400 280 click 1
  sleep 0.5
  # What the recording holds lags behind what was played: a second in hand.
  local from=$(($(bytes) / frame_bytes - pulse_rate))
  [ "$from" -ge 0 ] || from=0
  xdotool key l
  sleep 4.5
  local to=$(($(bytes) / frame_bytes))
  "$python" "$here/listen_check.py" --rate $pulse_rate --name "$name" --levels "$s1" "$s2" \
    --frames "$from" "$to" "$recording" || failed=$((failed + 1))
}

# From the start (both at the lowest setting), Home sets a level slider to full:
# both at full is the cardioid; then three pages down on the omni give the
# supercardioid's 30.
listen cardioid 0 0 Tab Home Tab Home
# Played through the plugin, which brought the libraries in.
after=$(audio_mapped)
for lib in liborvane_sound libQt6Multimedia libpulse; do
  [[ " $after" == *" $lib"* ]] || { echo "run_listen: FAILED: $lib not mapped after listening: $after"; failed=$((failed + 1)); }
done
listen supercardioid 30 0 Tab Page_Down Page_Down Page_Down

# The probing sound: switched on in the plot's context menu (a right click on
# the plot, then the keys of the menu), then two moves of the angle slider,
# which Shift+Tab reaches from the plot: one step to 1 degree, then End to 180.
xdotool mousemove --window "$window" 400 280 click 3
sleep 0.5
xdotool key --delay 150 Down Down Return
sleep 0.3
xdotool mousemove --window "$window" 400 280 click 1
xdotool key shift+Tab
sleep 0.5
from=$(($(bytes) / frame_bytes - pulse_rate))
xdotool key Right
sleep 0.7
xdotool key End
sleep 1.5
to=$(($(bytes) / frame_bytes))
"$python" "$here/listen_check.py" --rate $pulse_rate --name "probing sound" --levels 30 0 \
  --probe 1 180 --frames "$from" "$to" "$recording" || failed=$((failed + 1))

stop_pid "$rec_pid"
rec_pid=
[ -n "$keep" ] && cp "$recording" "$keep/"

if ! kill -0 "$app_pid" 2>/dev/null; then
  echo "run_listen: FAILED: the program exited: $(cat "$work/app.log")"
  failed=$((failed + 1))
fi
if grep -qi "error\|fail" "$work/app.log"; then
  echo "run_listen: FAILED: the program printed: $(cat "$work/app.log")"
  failed=$((failed + 1))
fi
[ "$failed" -eq 0 ] && echo "run_listen: passed" || echo "run_listen: $failed FAILED"
[ "$failed" -eq 0 ]
