# A private PulseAudio sound server for the system tests, sourced after
# session.sh and started with pulse_start: no configuration of the machine's,
# only a null sink, orvane_null, that plays nowhere, at $pulse_rate Hz in
# stereo floats, and the local socket, open to this user without a cookie.
# Afterwards PULSE_SERVER and the other PULSE_ variables point every client
# (Qt's sound output, parec) at it; it ends with the session. pulse_start
# returns 1, with the reason in $pulse_why, when it cannot start; it may be
# called again after pulse_kill, which ends the server as a crash would.

pulse_rate=48000

pulse_start() {
  pulse_why=
  local tool
  for tool in pulseaudio pactl; do
    command -v "$tool" >/dev/null || { pulse_why="$tool not found; scripts/setup.sh installs pulseaudio and pulseaudio-utils"; return 1; }
  done
  local dir=$work/pulse
  mkdir -m 700 -p "$dir" "$dir/runtime" "$dir/state"
  cat >"$dir/server.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
load-module module-null-sink sink_name=orvane_null rate=$pulse_rate channels=2 format=float32le
set-default-sink orvane_null
PA
  export PULSE_RUNTIME_PATH=$dir/runtime PULSE_STATE_PATH=$dir/state PULSE_SERVER=unix:$dir/native
  export PULSE_CLIENTCONFIG=$dir/client.conf
  echo "autospawn = no" >"$PULSE_CLIENTCONFIG"
  # -n and -F: our file alone; --system=no: a server of this user's (as root
  # it warns, and runs).
  pulseaudio -n --daemonize=no --system=no --exit-idle-time=-1 --use-pid-file=no \
    --log-target=stderr -F "$dir/server.pa" >"$work/pulse.log" 2>&1 &
  local pid=$!
  pulse_pid=$pid
  session_pids+=("$pid")
  server_up() { pactl info >/dev/null 2>&1 || ! kill -0 "$pid" 2>/dev/null; }
  wait_until 100 server_up || true
  if ! pactl info >/dev/null 2>&1; then
    pulse_why=$(grep -m1 '^E:' "$work/pulse.log" || echo "pulseaudio did not answer")
    return 1
  fi
}

pulse_kill() {
  kill -KILL "$pulse_pid" 2>/dev/null
  wait "$pulse_pid" 2>/dev/null
  return 0
}
