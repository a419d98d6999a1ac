#!/usr/bin/env bash
# The sound path again and again, to find what fails only now and then (on a
# busy machine, say): run_listen.sh's plays and faults, one after the other,
# RUNS times each; the first failure's output is kept.
#
#   stress_listen.sh RUNS PATH/TO/Orvane
#
# Prints each run's result and time, then the count of failures; exit status
# 0 when none failed.
set -u
runs=${1:?RUNS wanted}
exe=${2:?the program wanted}
here=$(cd "$(dirname "$0")" && pwd)
failures=0
began=$SECONDS
for i in $(seq "$runs"); do
  for mode in plays faults; do
    start=$SECONDS
    out=$(bash "$here/run_listen.sh" "$mode" "$exe" 2>&1)
    status=$?
    echo "run $i $mode: status $status, $((SECONDS - start)) s, load $(cut -d' ' -f1 /proc/loadavg)"
    if [ "$status" -ne 0 ]; then
      [ "$failures" -eq 0 ] && printf '%s\n' "$out"
      failures=$((failures + 1))
    fi
  done
done
echo "stress_listen: $failures of $((2 * runs)) runs failed in $((SECONDS - began)) s"
[ "$failures" -eq 0 ]
