#!/usr/bin/env bash
# Start-up time (launch to the first shown window) and peak resident memory of
# both editions against a bare Qt window built the same way, on a virtual
# display, and the shared libraries each maps once shown.
# Usage: scripts/startup_bench.sh [ROUNDS]   (make startup-bench)
# Each round launches the three programs, in an order that turns round from
# round to round; medians are printed, and each edition's ratios to the bare
# window's medians. Needs Xvfb and xdotool (scripts/packages.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-11}
build=build-release

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVANE_HARDENING=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target Orvane OrvaneLite bare_window >/dev/null

# -noreset: the server would reset whenever its last client goes, and refuse
# the next program while it does.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>/tmp/orvane-startup-display.$$ 2>/dev/null &
xvfb=$!
results=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf /tmp/orvane-startup-display.$$ "$results"' EXIT
# Up to 20 s for the display: a busy machine starts Xvfb slowly.
for _ in $(seq 400); do
  [ -s /tmp/orvane-startup-display.$$ ] && break
  sleep 0.05
done
export DISPLAY=":$(cat /tmp/orvane-startup-display.$$)"
export QT_QPA_PLATFORM=xcb
for _ in $(seq 400); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.05
done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "the virtual display did not start" >&2; exit 1; }

# Prints "milliseconds-to-window peak-kB shared-libraries" for one launch of $1.
measure() {
  local start end pid hwm libs
  start=$(date +%s%N)
  "$1" >/dev/null 2>"$results/stderr" &
  pid=$!
  until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null; then
      kill -0 "$xvfb" 2>/dev/null || echo "the virtual display went away" >&2
      echo "$1 ended before showing a window: $(tail -n 3 "$results/stderr")" >&2
      exit 1
    fi
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -gt 20000 ]; then echo "$1: no window in 20 s" >&2; exit 1; fi
  done
  end=$(date +%s%N)
  sleep 0.3 # let the first paint settle before reading the peak
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
  libs=$(grep -oE '/[^ ]+\.so[.0-9]*$' "/proc/$pid/maps" | sort -u | wc -l)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "$(( (end - start) / 1000000 )) $hwm $libs"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

names=(Orvane OrvaneLite "bare window")
programs=("$build/Orvane" "$build/OrvaneLite" "$build/bench/bare_window")
for p in 0 1 2; do measure "${programs[$p]}" >/dev/null; done # warm the caches once for each
for i in $(seq "$rounds"); do
  order=(0 1 2)
  [ $((i % 2)) -eq 0 ] && order=(2 1 0)
  [ $((i % 3)) -eq 0 ] && order=(1 2 0)
  for p in "${order[@]}"; do measure "${programs[$p]}" >>"$results/$p"; done
done

declare -a t m l
for p in 0 1 2; do
  t[p]=$(cut -d' ' -f1 "$results/$p" | median)
  m[p]=$(cut -d' ' -f2 "$results/$p" | median)
  l[p]=$(cut -d' ' -f3 "$results/$p" | median)
done
echo "rounds: $rounds (medians; time polled with xdotool, a few ms resolution)"
printf '%-12s %10s %14s %10s %12s %12s\n' program "start ms" "peak RSS kB" "libraries" "time ratio" "memory ratio"
for p in 0 1 2; do
  awk -v n="${names[$p]}" -v t="${t[p]}" -v m="${m[p]}" -v l="${l[p]}" -v bt="${t[2]}" -v bm="${m[2]}" \
    'BEGIN {printf "%-12s %10s %14s %10s %12.2f %12.2f\n", n, t, m, l, t / bt, m / bm}'
done
echo "goal: time ratio 1.00 or less, memory ratio 1.10 or less"
