#!/usr/bin/env bash
# The full edition played through a real sound server: a private PulseAudio with
# a null sink, started here on a private virtual desktop (session.sh); parec
# records the sink's monitor while a real key press (xdotool) asks the program to
# listen, and to turn the probing sound on and move the angle slider;
# listen_check.py analyses the recording. Every step waits for what it needs:
# a sound heard to its end in the recording, a window shown.
#
#   run_listen.sh plays|faults PATH/TO/Orvane [KEEP_DIR]
#
# plays: two sweeps and the probing sound, each checked against the pattern;
#   then two sweeps around the stereo pair, each channel checked against its
#   microphone's signed signal.
# faults: the server missing at the start, killed in the middle of a sweep and
#   of a dragged probing sound, started again, Listen pressed many times, the
#   window closed while a sound plays: the program never ends or hangs, says
#   each fault in one error box, and plays again once the server is back.
# KEEP_DIR, if given, receives the recording. Exit status: 0 passed, 1 a check
# failed or a tool is missing, 77 no X server or no sound server could be
# started (the test is then skipped).
set -u

here=$(cd "$(dirname "$0")" && pwd)
mode=${1:-plays}
exe=${2:-$here/../../build/Orvane}
keep=${3:-}
case $mode in plays | faults) ;; *) echo "usage: $0 plays|faults ORVANE [KEEP_DIR]" >&2; exit 2 ;; esac

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

failed=0
check() { # a condition, then what it means when it fails
  local what=$1
  shift
  "$@" || { echo "run_listen: FAILED: $what"; failed=$((failed + 1)); }
}

# A stream of silence keeps the sink running, so that its monitor delivers from
# the moment parec connects rather than from the first sound; its low latency
# holds the sink's low too. (A sink that works far ahead mixes a new sound
# into a stretch its monitor has already handed on, and the recording misses
# up to that much of the sound's start: a probing sound seemed cut to 0.04 s.)
# parec records that monitor into a file of its own for each life of the server.
lives=0
recording=
record() {
  lives=$((lives + 1))
  recording=$work/recording$lives.f32
  pacat -d orvane_null --rate=$pulse_rate --channels=2 --format=float32le --latency-msec=20 --raw /dev/zero \
    >"$work/pacat.log" 2>&1 &
  session_pids+=("$!")
  stop_pid "$rec_pid"
  parec -d orvane_null.monitor --rate=$pulse_rate --channels=2 --format=float32le --latency-msec=100 \
    --raw "$recording" 2>"$work/parec.log" &
  rec_pid=$!
  # The monitor delivers only some time after parec connects, more on a busy machine.
  wait_until 200 recording_runs || fail "parec recorded nothing: $(cat "$work/parec.log")"
}
bytes() { stat -c %s "$recording" 2>/dev/null || echo 0; }
frame_bytes=8 # two 32-bit floats
recording_runs() { [ "$(bytes)" -gt $((pulse_rate * frame_bytes / 5)) ]; }
# What the recording holds lags behind what was played: a second in hand.
mark() { from=$(($(bytes) / frame_bytes - pulse_rate)) && [ "$from" -ge 0 ] || from=0; }
# Whether N sounds (of at least S seconds) have been heard to their end since
# the mark, or (N=0) one begun.
heard() {
  local n=$1 started=
  [ "$n" -eq 0 ] && n=1 && started=--started
  "$python" "$here/listen_check.py" --rate $pulse_rate --heard "$n" --shortest "${2:-0}" $started \
    --frames "$from" $(($(bytes) / frame_bytes)) "$recording"
}
# Waits up to 20 s for N sounds heard since the mark (0: one begun); a sweep
# lasts 3 s, the cuts of one cut off by the next much less.
wait_heard() { wait_until 200 heard "$@"; }
sweep_seconds=2.5

# The program's windows on show: its main window and each error box.
windows() { xdotool search --onlyvisible --pid "$app_pid" --name '^Orvane$' 2>/dev/null | wc -l; }
has_windows() { [ "$(windows)" -eq "$1" ]; }
# Waits for one error box, then closes it as the user would (the box holds
# the window's input while it is up). A second box for the same fault shows
# while later steps wait on the window, and fails them and the last count.
wait_box() {
  wait_until 100 has_windows 2 || check "$*: wanted one error box, $(($(windows) - 1)) shown: $(shown_windows)" false
  check "$*: the error box did not close" wait_until 100 close_box
}
# The program's windows, for a failure's message: id, size and place.
shown_windows() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    printf '%s %s; ' "$w" "$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*\(Position\|Geometry\): //p' | paste -sd' ')"
  done
}
# Escape to the box until it has gone: a key that comes before the box takes
# the focus is lost, and an Escape more is nothing to the window.
close_box() {
  local box
  for box in $(xdotool search --onlyvisible --pid "$app_pid" --name '^Orvane$' 2>/dev/null); do
    [ "$box" = "$window" ] || { xdotool windowfocus "$box" && xdotool key Escape; } 2>/dev/null
  done
  has_windows 1
}
alive() { kill -0 "$app_pid" 2>/dev/null; }

start_program() {
  QT_QPA_PLATFORM=xcb "$exe" >"$work/app.log" 2>&1 &
  app_pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" --name '^Orvane$' 2>/dev/null | head -n1)
  [ -n "$window" ] || fail "the window did not show: $(cat "$work/app.log")"
  xdotool windowfocus --sync "$window" || fail "cannot focus the window"
}

# Sets the level sliders with the keys given (the plot takes the focus from a
# click, the level sliders from Tab), then presses L on the plot. The keys
# reach the program in order, so L comes after the levels are set.
press_listen() {
  xdotool windowfocus --sync "$window"
  xdotool mousemove --window "$window" 400 280 click 1
  [ $# -eq 0 ] || xdotool key --delay 60 "$@"
  xdotool mousemove --window "$window" 400 280 click 1
  mark
  xdotool key l
}

# Presses L and checks the sweep heard against the pattern, or against the
# stereo pair that `pair` names (listen_check.py's --pair) while it is shown.
# Arguments: name, the level sliders' positions the keys give, the keys that
# set them.
pair=()
listen() {
  local name=$1 s1=$2 s2=$3
  shift 3
  press_listen "$@"
  wait_heard 1 $sweep_seconds || { check "$name: no sweep heard to its end" false; return; }
  "$python" "$here/listen_check.py" --rate $pulse_rate --name "$name" --levels "$s1" "$s2" "${pair[@]}" \
    --frames "$from" $(($(bytes) / frame_bytes)) "$recording" || failed=$((failed + 1))
}

# Switches the probing sound over in the plot's context menu (a right click on
# the plot, then the menu's keys once it shows), then puts the focus on the
# angle slider, which Shift+Tab reaches from the plot.
toggle_probe() {
  local shown
  shown=$(windows)
  xdotool mousemove --window "$window" 400 280 click 3
  wait_until 100 eval '[ "$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)" -gt "$shown" ]' ||
    check "the plot's menu did not show" false
  xdotool key --delay 150 Down Down Return
  xdotool mousemove --window "$window" 400 280 click 1
  xdotool key shift+Tab
}

session_start
need_tools parec pulseaudio-utils pacat pulseaudio-utils

# shellcheck source=pulse.sh
source "$here/pulse.sh"
if ! pulse_start; then
  echo "run_listen: skipped: no sound server could be started: $pulse_why" >&2
  exit 77
fi

if [ "$mode" = plays ]; then
  record
  start_program
  # The audio libraries the program has mapped: the sound server's client and
  # the sound output plugin, none before the first sound.
  audio_mapped() { grep -oE '(libQt6Multimedia|libpulse|liborvane_sound)[^ /]*$' "/proc/$app_pid/maps" | sort -u | paste -sd' '; }
  before=$(audio_mapped)
  [ -z "$before" ] || fail "audio libraries mapped before anything played: $before"

  # From the start (both at the lowest setting), Home sets a level slider to full:
  # both at full is the cardioid; then three pages down on the omni give the
  # supercardioid's 30.
  listen cardioid 0 0 Tab Home Tab Home
  # Played through the plugin, which brought the client library in.
  after=$(audio_mapped)
  for lib in liborvane_sound libpulse; do
    check "$lib not mapped after listening: $after" eval '[[ " $after" == *" $lib"* ]]'
  done
  listen supercardioid 30 0 Tab Page_Down Page_Down Page_Down

  # The probing sound: two moves of the angle slider, one step to 1 degree,
  # then End to 180, each once the sound before has been heard to its end.
  toggle_probe
  mark
  xdotool key Right
  wait_heard 1 || check "no probing sound heard at 1 degree" false
  xdotool key End
  wait_heard 2 || check "no probing sound heard at 180 degrees" false
  "$python" "$here/listen_check.py" --rate $pulse_rate --name "probing sound" --levels 30 0 \
    --probe 1 180 --frames "$from" $(($(bytes) / frame_bytes)) "$recording" || failed=$((failed + 1))

  # The angle slider dragged fast, each sound cutting off the one before:
  # sounds are heard, and nothing is said.
  mark
  xdotool key --delay 15 $(printf 'Left %.0s' $(seq 40))
  wait_heard 1 || check "no probing sound heard after the slider was dragged" false
  check "the program said something while the slider was dragged" has_windows 1

  # The stereo pair, shown by P on the plot as it starts (XY at 90 degrees):
  # Listen circles the pair. The cardioids, then the figure-8s, the Blumlein
  # pair, whose channels are heard of opposite polarity at the sides. First the
  # dragged sounds' last out of the second in hand, which the sweep's
  # alignment must not take for its start.
  check "the dragged probing sounds did not end" wait_until 200 eval 'mark; ! heard 0'
  xdotool windowfocus --sync "$window"
  xdotool mousemove --window "$window" 400 280 click 1
  xdotool key p
  # On this screen the pair's window has no room beside the main one and
  # opens over it: moved below, as a user drags it, the plot is clicked again.
  pair_window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" --name '^Stereo pair$' 2>/dev/null | head -n1)
  [ -n "$pair_window" ] || fail "P did not show the stereo pair's window: $(shown_windows)"
  xdotool windowmove --sync "$pair_window" 0 600
  pair=(--pair xy 90)
  listen "XY cardioids at 90 degrees" 0 0 Tab Home
  listen "Blumlein pair" 100 0 Tab End
  [ -n "$keep" ] && cp "$recording" "$keep/"
else
  # No sound server at all when the program starts and asks to listen: one box.
  pulse_kill
  start_program
  press_listen Tab Home Tab Home
  wait_box "no sound server"

  # The server comes up: the next Listen plays, without a restart.
  pulse_start || fail "the sound server did not start again: $pulse_why"
  record
  listen "cardioid once the server is up" 0 0

  # Killed in the middle of the sweep: one box, and the window goes on.
  press_listen
  wait_heard 0 || check "the sweep did not start" false
  pulse_kill
  wait_box "server killed in the sweep"

  # Killed while the angle slider is dragged with the probing sound on: one box
  # for the fault, not one for every step after it.
  pulse_start || fail "the sound server did not start again: $pulse_why"
  record
  toggle_probe
  mark
  xdotool key --delay 25 $(printf 'Right %.0s' $(seq 80)) &
  drag=$!
  wait_heard 0 || check "no probing sound while dragging" false
  pulse_kill
  wait "$drag"
  wait_box "server killed in the probing sound"

  # Back again: Listen pressed many times quickly, each press cutting off the
  # sweep before; the last plays whole. The supercardioid, whose rear is not
  # silent: the starts of the sweeps cut off are heard, and are no fault.
  pulse_start || fail "the sound server did not start again: $pulse_why"
  record
  xdotool windowfocus --sync "$window"
  xdotool mousemove --window "$window" 400 280 click 1
  xdotool key --delay 60 Tab Page_Down Page_Down Page_Down
  xdotool mousemove --window "$window" 400 280 click 1
  mark
  xdotool key --delay 20 $(printf 'l %.0s' $(seq 25))
  wait_heard 1 $sweep_seconds || check "no sweep heard after Listen was pressed many times" false
  "$python" "$here/listen_check.py" --rate $pulse_rate --name "the last of many presses" --levels 30 0 \
    --frames "$from" $(($(bytes) / frame_bytes)) "$recording" || failed=$((failed + 1))
  check "an error box more than the faults" has_windows 1

  # The window closed while a sound plays: the program ends, and well.
  press_listen
  wait_heard 0 || check "the sweep did not start" false
  xdotool windowclose "$window"
  wait_until 100 eval '! alive' || check "the program did not end when its window was closed" false
  status=0
  wait "$app_pid" || status=$?
  app_pid=
  check "the program ended with status $status when its window was closed: $(cat "$work/app.log")" \
    [ "$status" -eq 0 ]
fi

stop_pid "$rec_pid"
rec_pid=

if [ -n "$app_pid" ] && ! alive; then
  echo "run_listen: FAILED: the program exited: $(cat "$work/app.log")"
  failed=$((failed + 1))
fi
if grep -qi "error\|fail" "$work/app.log"; then
  echo "run_listen: FAILED: the program printed: $(cat "$work/app.log")"
  failed=$((failed + 1))
fi
[ "$failed" -eq 0 ] && echo "run_listen $mode: passed" || echo "run_listen $mode: $failed FAILED"
[ "$failed" -eq 0 ]
