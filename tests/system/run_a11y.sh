#!/usr/bin/env bash
# Runs a11y_check.py against both editions, in the C locale and in German, on a
# private virtual X display with its own session bus and AT-SPI bus (session.sh).
#
#   run_a11y.sh PATH/TO/Orvane PATH/TO/OrvaneLite
#
# Exit status: 0 all passed, 1 a check failed or a tool is missing, 77 no X
# server could be started (the test is then skipped).
set -u

here=$(cd "$(dirname "$0")" && pwd)
full_exe=${1:-$here/../../build/Orvane}
lite_exe=${2:-$here/../../build/OrvaneLite}
check_timeout=45        # seconds for one edition in one locale

# shellcheck source=session.sh
source "$here/session.sh" run_a11y

for exe in "$full_exe" "$lite_exe"; do
  [ -x "$exe" ] || fail "no program at $exe; build first"
done

app_pid=
check_pid=
session_before_cleanup() {
  stop_pid "$check_pid"
  stop_pid "$app_pid"
}

session_start

# Starts an edition, runs the check on it, ends it. Arguments: edition, its
# program, locale, the decimal separator that locale writes.
failed=0
check() {
  local edition=$1 exe=$2 locale=$3 decimal=$4
  local title
  title="$(basename "$exe") ($edition edition), LC_ALL=$locale"
  # LANGUAGE=en: the names checked are the English ones, whose numbers have a
  # point; a German C library must not change them (the window's German, with
  # its comma, is checked by the language tests).
  LANGUAGE=en LC_ALL=$locale LANG=$locale QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$exe" >"$work/app.log" 2>&1 &
  app_pid=$!
  local status=0
  # In the background so that a signal to this script is acted on at once.
  timeout -k 5 "$check_timeout" "$python" "$here/a11y_check.py" \
    --pid "$app_pid" --edition "$edition" --decimal "$decimal" --title "$title" &
  check_pid=$!
  wait "$check_pid" || status=$?
  check_pid=
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "$title: FAILED (no result within $check_timeout s)"
  fi
  if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "$title: FAILED (the program exited during the test)"
    status=1
  fi
  stop_pid "$app_pid"
  app_pid=
  if [ "$status" -ne 0 ]; then
    failed=$((failed + 1))
    if [ -s "$work/app.log" ]; then
      echo "--- what the program printed:"
      cat "$work/app.log"
    fi
  fi
}

# The German run needs its locale generated (scripts/setup.d/test-locale.sh): Qt
# would write German numbers without it, but the C library would stay in "C",
# and the run would not be the one a German user has.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  fail "locale de_DE.UTF-8 is missing; scripts/setup.sh generates it"
fi

runs=0
for locale_run in "C.UTF-8 ." "de_DE.UTF-8 ."; do
  read -r locale decimal <<<"$locale_run"
  check full "$full_exe" "$locale" "$decimal"
  check lite "$lite_exe" "$locale" "$decimal"
  runs=$((runs + 2))
done

echo "run_a11y: $((runs - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
