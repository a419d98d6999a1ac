#!/usr/bin/env bash
# Start-up time (launch to the first shown window) and peak resident memory of
# both editions, and of Orvane in each language of LANGUAGES, against a bare Qt
# window built the same way, on a virtual display, and the shared libraries
# each maps once shown.
# Usage: [LANGUAGES="en de ja"] [OLD=dir] scripts/startup_bench.sh [ROUNDS]   (make startup-bench)
# OLD names a folder with an earlier build's Orvane (a copy of build-release/
# before a change): it starts in each language too, in the same rounds, and
# each language's medians are set beside its.
# Each round launches every program once, in an order that turns round from
# round to round; medians are printed, each program's ratios to the bare
# window's medians, each language's to the first language's, and a CJK
# language's memory to the bare window's with a label in its script.
# Needs Xvfb and xdotool (scripts/packages/test.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-11}
build=build-release

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVANE_HARDENING=OFF -DORVANE_BENCH=ON >/dev/null
cmake --build "$build" -j "${JOBS:-$(nproc)}" --target Orvane OrvaneLite bare_window >/dev/null

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

# Prints "milliseconds-to-window peak-kB shared-libraries cpu-microseconds" for
# one launch of the command in its arguments. The processor time of all its
# threads until the first paint has settled (schedstat, in nanoseconds) moves
# far less with the other builds' load than the time to the window does.
measure() {
  local start end pid hwm libs cpu
  start=$(date +%s%N)
  "$@" >/dev/null 2>"$results/stderr" &
  pid=$!
  until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null; then
      kill -0 "$xvfb" 2>/dev/null || echo "the virtual display went away" >&2
      echo "$* ended before showing a window: $(tail -n 3 "$results/stderr")" >&2
      exit 1
    fi
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -gt 20000 ]; then echo "$*: no window in 20 s" >&2; exit 1; fi
  done
  end=$(date +%s%N)
  sleep 0.3 # let the first paint settle before reading the peak
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
  libs=$(grep -oE '/[^ ]+\.so[.0-9]*$' "/proc/$pid/maps" | sort -u | wc -l)
  cpu=$(cat /proc/"$pid"/task/*/schedstat | awk '{ns += $1} END {printf "%d", ns / 1000}')
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "$(( (end - start) / 1000000 )) $hwm $libs $cpu"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

# The bare window, OrvaneLite, then Orvane in each language (English, German
# and Japanese unless set): the catalogues are compiled in, and the Japanese
# window loads the Noto CJK face besides Liberation Sans.
languages=${LANGUAGES:-en de ja}
first=${languages%% *}
runs=("bench/bare_window" "OrvaneLite --lang $first")
for language in $languages; do runs+=("Orvane --lang $language"); done
# A language whose window needs a CJK face is also set beside the bare window
# with its label in that script and face: the face alone costs about 4 MB.
declare -A script_of
for language in $languages; do
  case $language in ja | ko | zh-CN)
    script_of[$language]=${#runs[@]}
    runs+=("bench/bare_window $language") ;;
  esac
done
declare -A old_of
if [ -n "${OLD:-}" ]; then
  OLD=$(cd "$OLD" && pwd)
  for language in $languages; do
    old_of[$language]=${#runs[@]}
    runs+=("$OLD/Orvane --lang $language")
  done
fi
count=${#runs[@]}
# shellcheck disable=SC2086 # the arguments split at spaces
one() { case $1 in /*) measure $1 ;; *) measure "$build/"$1 ;; esac; }

for k in $(seq 0 $((count - 1))); do one "${runs[$k]}" >/dev/null; done # warm the caches once for each
for i in $(seq "$rounds"); do
  # Each round in another order, so that none always comes first.
  for j in $(seq 0 $((count - 1))); do
    k=$(( (i + j) % count ))
    one "${runs[$k]}" >>"$results/$k"
  done
done

declare -a t m l c
for k in $(seq 0 $((count - 1))); do
  t[k]=$(cut -d' ' -f1 "$results/$k" | median)
  m[k]=$(cut -d' ' -f2 "$results/$k" | median)
  l[k]=$(cut -d' ' -f3 "$results/$k" | median)
  c[k]=$(cut -d' ' -f4 "$results/$k" | median)
done
echo "rounds: $rounds (medians; time polled with xdotool, a few ms resolution)"
printf '%-24s %10s %14s %10s %8s %12s %12s %10s %10s %12s %12s %12s %12s\n' program "start ms" "peak RSS kB" \
  "libraries" "cpu ms" "time ratio" "memory ratio" "to $first" "to $first" "to script" "time to old" "memory to old" \
  "cpu to old"
for k in $(seq 0 $((count - 1))); do
  language=$(echo "${runs[$k]}" | sed -n 's/^Orvane --lang //p')
  sk= ok=
  [ -n "$language" ] && sk=${script_of[$language]:-} && ok=${old_of[$language]:-}
  awk -v n="${runs[$k]}" -v t="${t[k]}" -v m="${m[k]}" -v l="${l[k]}" -v c="${c[k]}" -v bt="${t[0]}" -v bm="${m[0]}" \
      -v et="${t[2]}" -v em="${m[2]}" -v lang="$([ -n "$language" ] && echo 1 || echo 0)" \
      -v sm="${sk:+${m[sk]}}" -v ot="${ok:+${t[ok]}}" -v om="${ok:+${m[ok]}}" -v oc="${ok:+${c[ok]}}" \
    'BEGIN {printf "%-24s %10s %14s %10s %8.1f %12.2f %12.2f", n, t, m, l, c / 1000, t / bt, m / bm;
            printf (lang ? " %10.3f %10.3f" : " %10s %10s"), (lang ? t / et : ""), (lang ? m / em : "");
            printf (sm ? " %12.3f" : " %12s"), (sm ? m / sm : "");
            if (ot) printf " %12.3f %12.3f %12.3f", t / ot, m / om, c / oc; printf "\n"}'
done
