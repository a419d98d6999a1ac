#!/usr/bin/env bash
# The time of `Orvane --export` (a PNG at scale 1 and an SVG) against the
# start-up of the window (launch to the first shown window, on a virtual
# display, as scripts/startup_bench.sh measures it), and the SVG's size.
# Usage: scripts/export_bench.sh [ROUNDS] [BUILD]   (make export-bench)
# Rounds alternate between the three; medians are printed, and the ratios of
# the medians. Needs Xvfb and xdotool (scripts/packages/test.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-11}
build=${2:-build}
cmake --build "$build" -j2 --target Orvane >/dev/null
exe=$build/Orvane
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
display=":$(cat "$work/display")"
for _ in $(seq 100); do
  DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.05
done

now() { date +%s%N; }

# Milliseconds to the first shown window.
window() {
  local start pid
  start=$(now)
  DISPLAY=$display QT_QPA_PLATFORM=xcb "$exe" --preset "super card" --angle 120 >/dev/null 2>&1 &
  pid=$!
  until DISPLAY=$display xdotool search --onlyvisible --name '^Orvane$' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$exe ended before showing a window" >&2; exit 1; }
  done
  echo $(( ($(now) - start) / 1000000 ))
  kill "$pid"; wait "$pid" 2>/dev/null || true
}

# Milliseconds for one export, with no display at all.
export_to() {
  local start
  start=$(now)
  env -u DISPLAY -u WAYLAND_DISPLAY "$exe" --preset "super card" --angle 120 --export "$work/$1"
  echo $(( ($(now) - start) / 1000000 ))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

window >/dev/null; export_to f.png >/dev/null # warm the caches once
: >"$work/window"; : >"$work/png"; : >"$work/svg"
for _ in $(seq "$rounds"); do
  window >>"$work/window"
  export_to f.png >>"$work/png"
  export_to f.svg >>"$work/svg"
done
w=$(median <"$work/window"); p=$(median <"$work/png"); s=$(median <"$work/svg")
echo "rounds: $rounds (medians, ms; $(nproc) cores, $(uname -m))"
printf '%-22s %8s %8s\n' what ms "ratio"
printf '%-22s %8s %8s\n' "window start-up" "$w" 1.00
awk -v w="$w" -v p="$p" -v s="$s" 'BEGIN {
  printf "%-22s %8s %8.2f\n", "--export PNG scale 1", p, p / w
  printf "%-22s %8s %8.2f\n", "--export SVG", s, s / w }'
echo "SVG size: $(stat -c %s "$work/f.svg") bytes; PNG size: $(stat -c %s "$work/f.png") bytes"
