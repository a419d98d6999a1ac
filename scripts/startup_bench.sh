#!/usr/bin/env bash
# Start-up time (launch to the first shown window) and peak resident memory of
# Orvane against a bare Qt window built the same way, on a virtual display.
# Usage: scripts/startup_bench.sh [ROUNDS]   (make startup-bench)
# Rounds alternate between the two programs; medians are printed, and the
# ratios of the medians. Needs Xvfb and xdotool (scripts/packages.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-11}
build=build-release

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVANE_HARDENING=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target Orvane bare_window >/dev/null

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>/tmp/orvane-startup-display.$$ 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f /tmp/orvane-startup-display.$$' EXIT
for _ in $(seq 100); do
  [ -s /tmp/orvane-startup-display.$$ ] && break
  sleep 0.05
done
export DISPLAY=":$(cat /tmp/orvane-startup-display.$$)"
export QT_QPA_PLATFORM=xcb
for _ in $(seq 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.05
done

# Prints "milliseconds-to-window peak-kB" for one launch of $1, whose window is titled $2.
measure() {
  local start end pid hwm
  start=$(date +%s%N)
  "$1" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null; then
      kill -0 "$xvfb" 2>/dev/null || echo "the virtual display went away" >&2
      echo "$1 ended before showing a window" >&2
      exit 1
    fi
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -gt 20000 ]; then echo "$1: no window in 20 s" >&2; exit 1; fi
  done
  end=$(date +%s%N)
  sleep 0.3 # let the first paint settle before reading the peak
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "$(( (end - start) / 1000000 )) $hwm"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

: >/tmp/orvane-startup.$$; : >/tmp/bare-startup.$$
measure "$build/Orvane" Orvane >/dev/null # warm the caches once for each
measure "$build/bench/bare_window" "Bare window" >/dev/null
for i in $(seq "$rounds"); do
  if [ $((i % 2)) -eq 0 ]; then
    measure "$build/Orvane" Orvane >>/tmp/orvane-startup.$$
    measure "$build/bench/bare_window" "Bare window" >>/tmp/bare-startup.$$
  else
    measure "$build/bench/bare_window" "Bare window" >>/tmp/bare-startup.$$
    measure "$build/Orvane" Orvane >>/tmp/orvane-startup.$$
  fi
done

ot=$(cut -d' ' -f1 /tmp/orvane-startup.$$ | median); bt=$(cut -d' ' -f1 /tmp/bare-startup.$$ | median)
om=$(cut -d' ' -f2 /tmp/orvane-startup.$$ | median); bm=$(cut -d' ' -f2 /tmp/bare-startup.$$ | median)
rm -f /tmp/orvane-startup.$$ /tmp/bare-startup.$$
echo "rounds: $rounds (medians; time polled with xdotool, a few ms resolution)"
printf '%-12s %10s %14s\n' program "start ms" "peak RSS kB"
printf '%-12s %10s %14s\n' Orvane "$ot" "$om" "bare window" "$bt" "$bm"
awk -v ot="$ot" -v bt="$bt" -v om="$om" -v bm="$bm" \
  'BEGIN {printf "ratio        %10.2f %14.2f   (goal: 1.30 or less)\n", ot / bt, om / bm}'
