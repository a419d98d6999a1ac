#!/usr/bin/env bash
# Start-up time (launch to the first shown window) and peak resident memory of
# Orvane against a bare Qt window built the same way, on a virtual display.
# Usage: [LANGUAGES="en de ja"] scripts/startup_bench.sh [ROUNDS]   (make startup-bench)
# Rounds alternate between the two programs; medians are printed, and the
# ratios of the medians. Needs Xvfb and xdotool (scripts/packages.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-11}
build=build-release

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVANE_HARDENING=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-$(nproc)}" --target Orvane bare_window >/dev/null

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

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

# The bare window, then Orvane in each language of LANGUAGES (English, German
# and Japanese unless set): the catalogues are compiled in, and the Japanese
# window loads the Noto CJK face besides Liberation Sans.
languages=${LANGUAGES:-en de ja}
runs=("bench/bare_window|Bare window")
for language in $languages; do runs+=("Orvane --lang $language|Orvane"); done
for k in "${!runs[@]}"; do : >"/tmp/orvane-startup.$$.$k"; done
trap 'kill $xvfb 2>/dev/null; rm -f /tmp/orvane-startup-display.$$ /tmp/orvane-startup.$$.*' EXIT
# Runs one entry of runs: "PROGRAM ARGUMENTS|WINDOW TITLE".
one() {
  local command=${1%%|*} title=${1#*|}
  # shellcheck disable=SC2086 # the arguments split at spaces
  measure_args "$title" "$build/"$command
}
# Prints "milliseconds-to-window peak-kB" for one launch of the command after
# the window's title $1.
measure_args() {
  local title=$1; shift
  local start end pid hwm
  start=$(date +%s%N)
  "$@" >/dev/null 2>"/tmp/orvane-startup.$$.err" &
  pid=$!
  until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "$* ended before showing a window:" >&2
      cat "/tmp/orvane-startup.$$.err" >&2
      exit 1
    fi
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -gt 20000 ]; then echo "$*: no window in 20 s" >&2; exit 1; fi
  done
  end=$(date +%s%N)
  sleep 0.3 # let the first paint settle before reading the peak
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "$(( (end - start) / 1000000 )) $hwm"
}
for run in "${runs[@]}"; do one "$run" >/dev/null; done # warm the caches once for each
for i in $(seq "$rounds"); do
  # Each round in another order, so that none always comes first.
  count=${#runs[@]}
  for j in $(seq 0 $((count - 1))); do
    k=$(( (i + j) % count ))
    one "${runs[$k]}" >>"/tmp/orvane-startup.$$.$k"
  done
done

echo "rounds: $rounds (medians; time polled with xdotool, a few ms resolution)"
printf '%-22s %10s %14s\n' program "start ms" "peak RSS kB"
bare="/tmp/orvane-startup.$$.0"
bt=$(cut -d' ' -f1 "$bare" | median); bm=$(cut -d' ' -f2 "$bare" | median)
printf '%-22s %10s %14s\n' "bare window" "$bt" "$bm"
for k in $(seq 1 $(( ${#runs[@]} - 1 ))); do
  run=${runs[$k]}
  file="/tmp/orvane-startup.$$.$k"
  t=$(cut -d' ' -f1 "$file" | median); m=$(cut -d' ' -f2 "$file" | median)
  printf '%-22s %10s %14s\n' "${run%%|*}" "$t" "$m"
  [ -n "${et:-}" ] || { et=$t; em=$m; }
  awk -v t="$t" -v bt="$bt" -v m="$m" -v bm="$bm" -v et="$et" -v em="$em" \
    'BEGIN {printf "  to the bare window  %8.2f %14.2f   (goal: 1.30 or less)\n  to the first language%8.3f %14.3f   (goal: 1.05 or less)\n", t / bt, m / bm, t / et, m / em}'
done
