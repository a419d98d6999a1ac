#!/usr/bin/env bash
# How the real programs end when something around them is wrong, each started
# as a user would: with an empty environment plus the variables of the case.
#
#   run_exits.sh arguments|display VERSION PATH/TO/Orvane PATH/TO/OrvaneLite
#   run_exits.sh destroyed PATH/TO/Orvane PATH/TO/OrvaneLite
#
# arguments: --help (-h) and --version print and exit 0 without a display; any
#   other argument, Qt's own options among them, gives one line and exit 2.
#   Every message is one line as GNU tools write them: the program's name, then
#   a sentence in lower case with no full stop, naming the value it refuses.
# manual: each edition's manual page, rendered by man, lists --help's options
#   and its examples run as printed.
# display: every way the display can be missing or unreachable gives one line
#   naming it, with the way to run on a virtual display, and exit 1.
# destroyed: on a virtual X display, another client destroys the window
#   (xdotool windowclose); the program must end with status 0. Before that,
#   the shown window, never asked to listen, must have mapped no audio library
#   (/proc/PID/maps): the sound output is a plugin loaded on the first sound.
#   Exits 77, and so is skipped, where no X server can be started.
set -u
here=$(cd "$(dirname "$0")" && pwd)

mode=${1:-}
case $mode in
  arguments | display | manual) version=$2 && shift 2 ;;
  destroyed) shift ;;
  *) echo "usage: $0 arguments|display|manual VERSION ORVANE ORVANELITE | destroyed ORVANE ORVANELITE" >&2; exit 2 ;;
esac
[ $# -eq 2 ] || { echo "$0: two programs wanted" >&2; exit 2; }
programs=()
for exe in "$@"; do
  [ -x "$exe" ] || { echo "$0: no program at $exe; build first" >&2; exit 1; }
  programs+=("$(realpath "$exe")")
done

work=$(mktemp -d "${TMPDIR:-/tmp}/orvane-exits.XXXXXX") || exit 1
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failed=0
passed=0
fail() {
  echo "FAIL: $*"
  failed=$((failed + 1))
}

# Runs one case: the program with an empty environment plus the assignments
# given, then the arguments after "--". Leaves the status in $status and the
# output in $work/out and $work/err. A program still running after 10 s has
# opened a window where it should not have.
# The sanitizer build reads its options from the environment; every program
# run here under `env -i` keeps them.
sanitizer_options=()
for keep in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
  [ -n "${!keep:-}" ] && sanitizer_options+=("$keep=${!keep}")
done

run() {
  local exe=$1
  shift
  local assignments=()
  while [ "$1" != -- ]; do
    assignments+=("$1")
    shift
  done
  shift
  assignments+=("${sanitizer_options[@]}")
  status=0
  (cd "$work" && ulimit -c 0 && exec timeout -k 2 10 env -i HOME="$work" "${assignments[@]}" \
    "$exe" "$@" >"$work/out" 2>"$work/err") || status=$?
}

lines() { if [ -s "$1" ]; then wc -l <"$1"; else echo 0; fi; }

# Whether standard error holds one message as GNU tools write them, from
# program $1: "NAME: " and a sentence that starts in lower case (or with the
# value it names) and ends with no full stop.
one_message() {
  [ "$(lines "$work/err")" -eq 1 ] && grep -q "^$1: [^A-Z]" "$work/err" && ! grep -q '\.$' "$work/err"
}

# What the user sees of one case, for the failure messages.
shown() {
  printf 'status %s; stdout: %s; stderr: %s' "$status" \
    "$(head -c 300 "$work/out" | paste -sd'|')" "$(head -c 500 "$work/err" | paste -sd'|')"
}

# A display number with no X server behind it.
free_display() {
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo "$n"
}

arguments() {
  local exe name
  for exe in "${programs[@]}"; do
    name=$(basename "$exe")
    run "$exe" -- --version
    if [ "$status" -eq 0 ] && [ "$(cat "$work/out")" = "$name $version" ] && [ ! -s "$work/err" ]; then
      passed=$((passed + 1))
    else
      fail "$name --version: wanted \"$name $version\" and status 0; $(shown)"
    fi

    local help
    for help in --help -h; do
      run "$exe" -- "$help"
      if [ "$status" -eq 0 ] && head -n1 "$work/out" | grep -q "^Usage: $name \[OPTION\]\.\.\.\$" &&
        grep -q -- '--version' "$work/out" && grep -q -- '--export FILE' "$work/out" &&
        grep -q -- '--details' "$work/out" && grep -q -- '--lang CODE' "$work/out" &&
        grep -q -- '-h, --help' "$work/out" && grep -q 'xvfb-run -a' "$work/out" && [ ! -s "$work/err" ] &&
        # Only what the edition does: the lite edition has no probe.
        if [ "$name" = OrvaneLite ]; then ! grep -q -- '--angle' "$work/out"; else grep -q -- '--angle V' "$work/out"; fi; then
        passed=$((passed + 1))
      else
        fail "$name $help: wanted the usage text and status 0; $(shown)"
      fi
    done

    # --details prints the figures with no display, in the C locale whatever
    # the user's; a bad position is named, with status 2.
    run "$exe" LC_ALL=de_DE.UTF-8 -- --details --omni 30 --fig8 0
    if [ "$status" -eq 0 ] && [ "$(lines "$work/out")" -eq 12 ] && [ ! -s "$work/err" ] &&
      grep -qx $'null_deg\t134.4270040008057' "$work/out" && grep -qx $'directivity_factor\t3.5101214574898787' "$work/out"; then
      passed=$((passed + 1))
    else
      fail "$name --details --omni 30 --fig8 0: wanted 12 figures and status 0; $(shown)"
    fi
    run "$exe" -- --details --omni 0 --fig8 0
    if [ "$status" -eq 0 ] && grep -qx $'front_to_back_db\tinf' "$work/out" && grep -qx $'rear_db\t-inf' "$work/out"; then
      passed=$((passed + 1))
    else
      fail "$name --details of the cardioid: wanted inf and -inf; $(shown)"
    fi
    local bad
    for bad in "--omni 101" "--fig8 -1" "--omni 1e2" "--fig8 +5" "--omni"; do
      local args=()
      read -r -a args <<<"$bad"
      run "$exe" -- --details "${args[@]}"
      if [ "$status" -eq 2 ] && one_message "$name" && [ ! -s "$work/out" ] &&
        grep -qF "$name: ${args[0]} " "$work/err" && { [ ${#args[@]} -eq 1 ] || grep -qF -- "${args[1]}" "$work/err"; }; then
        passed=$((passed + 1))
      else
        fail "$name --details $bad: wanted one line naming the value and status 2; $(shown)"
      fi
    done

    # Each refused at once, with no display to fall back on: a program that
    # went on to open a window would say it has no display and exit 1 instead.
    local refused
    for refused in -reverse -style=fusion "-platform offscreen" -qwindowgeometry=10x10 \
      --helpme -H -h=1 --version=2 "" -- extra "--help -reverse" "--version --bogus"; do
      local args=()
      read -r -a args <<<"$refused"
      [ -z "$refused" ] && args=("")
      local named=${args[0]}
      [ ${#args[@]} -gt 1 ] && [[ ${args[0]} == --help || ${args[0]} == --version ]] && named=${args[1]}
      run "$exe" -- "${args[@]}"
      if [ "$status" -eq 2 ] && one_message "$name" && [ ! -s "$work/out" ] &&
        grep -qF "$name: unknown argument \"$named\"" "$work/err"; then
        passed=$((passed + 1))
      else
        fail "$name ${args[*]}: wanted one line naming \"$named\" and status 2; $(shown)"
      fi
    done

    # The state and figure options, with no display: the arguments (split at
    # ";"), the status, what the one line on stderr must say, and a line that
    # standard output must hold (none: it stays empty). No figure is ever
    # printed as a negative zero.
    local entry cases=(
      "--omni;101|2|--omni 101 is out of range: 0 to 100"
      "--fig8;abc|2|--fig8 \"abc\" is not a whole number"
      "--omni|2|--omni needs a value: S1"
      "--angle=-181|2|--angle -181 is out of range: -180 to 180"
      "--state;omni=5|2|--state \"omni=5\": \"fig8\" is missing from the state"
      "--state;omni=1&fig8=2&<b>=3|2|unknown key \"<b>\""
      "--state;http://example.org/orvane/index.html|2|--state \"http://example.org/orvane/index.html\": the link holds no state after #"
      "--preset;Wide|2|unknown preset \"Wide\"; the textbook patterns are omni, subcardioid, cardioid, supercardioid, hypercardioid, figure-8, the buttons Cardiod, Omni, Fig. 8, Super Card, Hyper Card"
      "--preset;card|2|unknown preset \"card\""
      "--preset;-|2|unknown preset \"-\""
      "--lang;de;--preset;Wide|2|Niere"
      "--preset;cardioid;--details|0||rear_db\t-inf"
      "--preset;Cardioid;--details|0||front_to_back_db\tinf"
      "--preset;omni;--details|0||rear_db\t0"
      "--preset;OMNIDIRECTIONAL;--details|0||rear_db\t0"
      "--preset;figure-8;--details|0||front_to_back_db\t0"
      "--preset;Figure 8;--details|0||front_to_back_db\t0"
      "--preset;fig8;--details|0||front_to_back_db\t0"
      "--preset;Bi-directional;--details|0||front_to_back_db\t0"
      # The textbook's patterns at the nearest positions; the buttons' mixes by their names.
      "--preset;supercardioid;--details|0||omni_share\t0.36601307189542487"
      "--preset;Hyper-Cardioid;--details|0||omni_share\t0.25"
      "--preset;subcardioid;--details|0||omni_share\t0.7000000000000001"
      "--preset;Wide Cardioid;--details|0||omni_share\t0.7000000000000001"
      "--preset;super card;--details|0||null_deg\t134.4270040008057"
      "--preset;super;--details|0||null_deg\t134.4270040008057"
      "--preset;HyperCard;--details|0||null_deg\t120.00000000000001"
      "--preset;hyper;--details|0||null_deg\t120.00000000000001"
      "--lang;de;--preset;NIERE;--details|0||rear_db\t-inf"
      "--lang;de;--preset;Superniere;--details|0||omni_share\t0.36601307189542487"
      "--lang;ja;--preset;スーパー;--details|0||null_deg\t134.4270040008057"
      # What people paste and type: a whole Share link, the view's word in any case.
      "--state;http://example.org/orvane/index.html#omni=44&fig8=3;--details|0||omni_share\t0.36601307189542487"
      "--state;#omni=67&fig8=1&view=db;--details|0||omni_share\t0.25"
      "--view;dB;--range;30dB;--omni;0;--details|0||rear_db\t0"
      "--view;LINEAR;--range;40;--details|0||omni_share\tnone"
      "--omni;0;--details;--export;both.png|0||rear_db\t0"
      "--export;f.jpg|2|the formats are PNG (.png), SVG (.svg), PDF (.pdf)"
      "--scale;2|2|give --export FILE too"
      "--export;f.png;--scale;9|2|--scale 9 is out of range: 1 to 8"
      "--export;nowhere/f.png|1|the folder \"$work/nowhere\" does not exist"
      "--export;/proc/orvane.png|1|cannot save \"/proc/orvane.png\""
      "--preset;SUPER-card;--angle;120;--export;f.svg|0|"
      "--omni;0;--fig8;0;--export;f.pdf|0|"
      "--state;omni=50&fig8=0&angle=-90;--export;old.png;--scale;2|0|"
      "--view;log|2|--view \"log\" is not one of linear, db"
      "--view;Log|2|--view \"Log\" is not one of linear, db"
      "--range=25|2|--range \"25\" is not one of 20, 30, 40"
      "--range;25dB|2|--range \"25dB\" is not one of 20, 30, 40"
      "--state;omni=0&fig8=0&view=db&range=50|2|range \"50\" is not one of 20, 30, 40"
      "--preset;Hyper Card;--view;db;--range;20;--export;db.svg|0|"
      # The stereo pair: its figures after the pattern's, its values refused by name.
      "--pair;xy;--preset;cardioid;--details|0||recording_angle_15db_deg\t177.92213807446277"
      "--pair;Blumlein;--details|0||recording_angle_15db_deg\t69.8332318990203"
      "--preset;cardioid;--pair;blumlein;--details|0||omni_share\t0"
      "--pair-angle;30;--pair;blumlein;--details|0||pair_angle_deg\t90"
      # The M/S form of the Blumlein pair: figure-8 mid, side at the same level.
      "--pair;blumlein;--pair;ms;--details|0||pair_angle_deg\t90"
      "--omni;50;--fig8;50;--pair;ms;--details|0||left_omni_share\t0.3090169943749474"
      "--omni;50;--fig8;50;--pair;MS;--side;0;--details|0||pair_angle_deg\t126.86989764584402"
      "--preset;omni;--pair;xy;--details|0||recording_angle_15db_deg\tnone"
      "--preset;cardioid;--pair;xy;--pair-angle;0;--details|0||recording_angle_18db_deg\tnone"
      "--preset;figure-8;--pair;xy;--pair-angle=180;--details|0||side_to_mid_db\tinf"
      "--state;omni=0&fig8=0&pair=xy&pairangle=60;--details|0||pair_angle_deg\t60"
      "--state;omni=0&fig8=0&pair=xy&pairangle=60;--pair-angle;30;--details|0||pair_angle_deg\t30"
      "--pair;ab|2|--pair \"ab\" is not one of xy, ms, blumlein"
      "--pair|2|--pair needs a value: PAIR"
      "--pair-angle;90|2|--pair-angle is the angle of an XY pair; give --pair xy too"
      "--pair;xy;--pair;ms;--pair-angle;90|2|--pair-angle is the angle of an XY pair"
      "--side;5;--pair;xy|2|--side is the side's level of an M/S pair; give --pair ms too"
      "--pair;ms;--side;101|2|--side 101 is out of range: 0 to 100"
      "--pair;xy;--pair-angle;18x|2|--pair-angle \"18x\" is not a whole number"
      "--state;omni=0&fig8=0&pair=ms&side=5;--pair-angle;30|2|--pair-angle is the angle of an XY pair"
      "--state;omni=0&fig8=0&pair=ms|2|\"side\" is missing from the state"
      "--state;omni=0&fig8=0&side=5|2|\"side\" in the state needs pair=ms"
      # With a pair, --export writes the pair's figure: its plot, its curve, their caption.
      "--preset;cardioid;--pair;xy;--pair-angle;120;--angle;30;--export;pair.svg|0|"
      "--pair;ms;--side;20;--export;pair.png|0|"
    )
    printf 'old' >"$work/old.png"
    for entry in "${cases[@]}"; do
      local argv=() wanted_status wanted_words wanted_out
      IFS=';' read -r -a argv <<<"${entry%%|*}"
      wanted_status=${entry#*|} && wanted_status=${wanted_status%%|*}
      wanted_words=${entry#*|*|} && wanted_words=${wanted_words%%|*}
      wanted_out=
      [[ $entry == *\|*\|*\|* ]] && wanted_out=$(printf '%b' "${entry##*|}")
      run "$exe" -- "${argv[@]}"
      if [ "$status" -eq "$wanted_status" ] && ! grep -qE $'\t-0(\\.0*)?$' "$work/out" &&
        if [ -z "$wanted_out" ]; then [ ! -s "$work/out" ]; else grep -qxF -- "$wanted_out" "$work/out"; fi &&
        if [ -z "$wanted_words" ]; then [ ! -s "$work/err" ]; else
          one_message "$name" && grep -qF -- "$wanted_words" "$work/err"
        fi; then
        passed=$((passed + 1))
      else
        fail "$name ${argv[*]}: wanted status $wanted_status and \"$wanted_words\"; $(shown)"
      fi
    done
    # The pair's figures at the source: the full edition's, where the probe's
    # angle gives the source; a null of the left cardioid, the image fully right.
    run "$exe" -- --details --preset cardioid --pair xy --angle -135
    if [ "$name" = OrvaneLite ]; then
      [ "$status" -eq 0 ] && [ "$(lines "$work/out")" -eq 19 ] && ! grep -q '^level_difference_db' "$work/out"
    else
      [ "$status" -eq 0 ] && [ "$(lines "$work/out")" -eq 22 ] && grep -qx $'level_difference_db\t-inf' "$work/out" &&
        grep -qx $'image_deg\t-30' "$work/out" && grep -qx $'opposite_polarity\tno' "$work/out"
    fi && passed=$((passed + 1)) || fail "$name --details of a pair at a source: $(shown)"
    run "$exe" -- --details --pair blumlein --state 'omni=100&fig8=0&angle=100&pair=xy&pairangle=90'
    if [ "$name" = OrvaneLite ] || grep -qx $'opposite_polarity\tyes' "$work/out"; then
      passed=$((passed + 1))
    else
      fail "$name --details of the Blumlein pair at 100 degrees: wanted opposite polarity; $(shown)"
    fi
    # The datasheet view's figure holds its labels and legend as text.
    if grep -q '>-15</text>' "$work/db.svg" && grep -q '>opposite polarity</text>' "$work/db.svg" &&
      ! grep -q '>-25</text>' "$work/db.svg"; then
      passed=$((passed + 1))
    else
      fail "$name --view db --range 20 --export db.svg: wanted its rings to -15 dB and its legend as text"
    fi
    # The pair's figure: both drawings, each clipped to its own, and the curve's
    # texts; the caption says the pair (and the source, where the edition has one).
    caption='>XY pair at 120° of Cardioid; source at 30°</title>'
    [ "$name" = OrvaneLite ] && caption='>XY pair at 120° of Cardioid</title>'
    if grep -q 'clipPath id="plot2"' "$work/pair.svg" && grep -q '>Source angle (degrees)</text>' "$work/pair.svg" &&
      grep -qF "$caption" "$work/pair.svg" && [ "$(head -c 4 "$work/pair.png" | tail -c 3)" = PNG ]; then
      passed=$((passed + 1))
    else
      fail "$name --pair --export: wanted the pair's plot and curve with \"$caption\"; $(shown)"
    fi
    # The figures were written, the old file replaced by a whole new one, and
    # --export beside --details wrote its file too.
    if head -c 5 "$work/f.svg" | grep -q '<?xml' && head -c 5 "$work/f.pdf" | grep -q '%PDF' &&
      [ "$(head -c 4 "$work/both.png" | tail -c 3)" = PNG ] &&
      [ "$(head -c 4 "$work/old.png" | tail -c 3)" = PNG ] && ! ls -A "$work" | grep -qE '\.(png|svg|pdf).'; then
      passed=$((passed + 1))
    else
      fail "$name --export: wanted f.svg, f.pdf and a new old.png and no temporary files; $(ls -a "$work" | paste -sd' ')"
    fi
    rm -f "$work"/f.* "$work/old.png" "$work/both.png" "$work/db.svg" "$work"/pair.*
  done
}

# Each edition's manual page as man renders it for a reader: its options are
# --help's, each with the same value name, and each example of EXAMPLES runs as
# printed (a line indented as a block of its own), in a folder of its own. An
# example that opens a window is run on the virtual display it starts, and
# must end with status 0 once its window is closed.
manual() {
  command -v man >/dev/null || { echo "FAIL: man is missing; scripts/setup.sh installs it"; exit 1; }
  local exe name page
  for exe in "${programs[@]}"; do
    name=$(basename "$exe")
    page=$(dirname "$exe")/packaging/man/$name.1
    if [ ! -f "$page" ]; then
      fail "$name: no manual page at $page; build first"
      continue
    fi
    # Wide enough that no example wraps; in UTF-8, where a renderer that
    # turned "-" into a typographic dash would break the examples.
    MANWIDTH=250 LC_ALL=C.UTF-8 man -l "$page" >"$work/page.txt" 2>"$work/man.err"
    [ -s "$work/man.err" ] && fail "$name: man warns: $(paste -sd'|' "$work/man.err")"

    run "$exe" -- --help
    local listed documented
    listed=$(sed -n 's/^  \(-h, \)\?\(--[a-z0-9-]*\)\( [A-Z0-9][A-Z0-9]*\)\? .*/\1\2\3/p' "$work/out" | sort)
    documented=$(sed -n '/^OPTIONS/,/^[A-Z]/{s/^       \(-.*\)/\1/p}' "$work/page.txt" | sed 's/  */ /g' | sort)
    if [ -n "$listed" ] && [ "$listed" = "$documented" ]; then
      passed=$((passed + 1))
    else
      fail "$name: the manual page's options differ from --help's: $(diff <(echo "$documented") <(echo "$listed") | paste -sd' ')"
    fi

    local examples=() line
    while IFS= read -r line; do
      examples+=("${line#"${line%%[! ]*}"}")
    done < <(sed -n '/^EXAMPLES/,/^[A-Z]/{/^              [^ ]/p}' "$work/page.txt")
    [ ${#examples[@]} -ge 2 ] || fail "$name: wanted examples in the manual page, found ${#examples[@]}"
    local example
    for example in "${examples[@]}"; do
      rm -rf "$work/example" && mkdir "$work/example"
      if [[ $example != xvfb-run* ]]; then
        status=0
        (cd "$work/example" && exec timeout -k 2 20 env -i HOME="$work" PATH="$(dirname "$exe"):/usr/bin:/bin" "${sanitizer_options[@]}" \
          bash -c "$example" >"$work/out" 2>"$work/err") || status=$?
        if [ "$status" -eq 0 ] && [ ! -s "$work/err" ] && { [ -s "$work/out" ] || [ -n "$(ls -A "$work/example")" ]; }; then
          passed=$((passed + 1))
        else
          fail "$name's manual page: \"$example\" did not run as printed; $(shown)"
        fi
        continue
      fi
      command -v xvfb-run >/dev/null || { fail "$name's manual page: xvfb-run is missing for \"$example\""; continue; }
      # A session of its own, whose id the shell leading it writes down, so
      # that the program it starts is found among it.
      rm -f "$work/session"
      (cd "$work/example" && exec setsid --wait env -i HOME="$work" PATH="$(dirname "$exe"):/usr/bin:/bin" "${sanitizer_options[@]}" \
        bash -c 'echo $$ >"$1"; eval "$2"' example "$work/session" "$example" >"$work/out" 2>"$work/err") &
      local runner=$! session="" pid="" wid="" display="" authority=""
      for _ in $(seq 200); do
        session=$(cat "$work/session" 2>/dev/null)
        [ -n "$session" ] && pid=$(pgrep -s "$session" -x "$name" | head -n1)
        if [ -n "$pid" ]; then
          display=$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | sed -n 's/^DISPLAY=//p')
          authority=$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | sed -n 's/^XAUTHORITY=//p')
        fi
        [ -n "$display" ] || ! kill -0 "$runner" 2>/dev/null && break
        sleep 0.1
      done
      [ -n "$display" ] && wid=$(DISPLAY=$display XAUTHORITY=$authority timeout 20 \
        xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n1)
      [ -n "$wid" ] && DISPLAY=$display XAUTHORITY=$authority xdotool windowclose "$wid"
      [ -z "$wid" ] && [ -n "$session" ] && kill -KILL -- "-$session" 2>/dev/null
      status=0
      wait "$runner" || status=$?
      if [ -n "$wid" ] && [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
      else
        fail "$name's manual page: \"$example\" showed no window, or did not end well once it was closed; $(shown)"
      fi
    done
  done
}

display() {
  local exe name n
  n=$(free_display)
  mkdir -p -m 700 "$work/runtime"
  # Each case: the environment, then what the line must name.
  local cases=(
    "|the X display (DISPLAY is not set)"
    "DISPLAY=:$n|the X display \":$n\""
    "DISPLAY=|the X display (DISPLAY is empty)"
    "QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR=$work/runtime|the Wayland display \"wayland-0\""
    "WAYLAND_DISPLAY=wayland-9 XDG_RUNTIME_DIR=$work/runtime|the Wayland display \"wayland-9\""
    "DISPLAY=:$n QT_QPA_PLATFORM=xcb|the X display \":$n\""
  )
  for exe in "${programs[@]}"; do
    name=$(basename "$exe")
    local entry
    for entry in "${cases[@]}"; do
      local environment=${entry%%|*} wanted=${entry#*|} assignments=()
      read -r -a assignments <<<"$environment"
      run "$exe" "${assignments[@]}" --
      local how="xvfb-run -a $exe"
      [[ $environment == *QT_QPA_PLATFORM=wayland* ]] && how="QT_QPA_PLATFORM=xcb xvfb-run -a $exe"
      if [ "$status" -eq 1 ] && [ "$(lines "$work/err")" -eq 1 ] && [ ! -s "$work/out" ] &&
        grep -qF "$name: cannot open $wanted" "$work/err" &&
        grep -qF "; run it on a virtual display with: $how" "$work/err"; then
        passed=$((passed + 1))
      else
        fail "${environment:-(no display variables)} $name: wanted one line naming $wanted, and status 1; $(shown)"
      fi
    done
  done
}

destroyed() {
  command -v Xvfb >/dev/null || { echo "skipped: Xvfb is not installed"; exit 77; }
  command -v xdotool >/dev/null || { echo "FAIL: xdotool is missing; scripts/setup.sh installs it"; exit 1; }
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null && break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    echo "skipped: no X server could be started ($(head -n1 "$work/xvfb.log"))"
    exit 77
  fi
  local display=":$(head -n1 "$work/display")" exe name wid
  for exe in "${programs[@]}"; do
    name=$(basename "$exe")
    env -i HOME="$work" DISPLAY="$display" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb \
      ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} "$exe" >"$work/out" 2>"$work/err" &
    app_pid=$!
    wid=$(DISPLAY=$display timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" 2>/dev/null | head -n1)
    if [ -z "$wid" ]; then
      fail "$name: no window within 20 s; $(cat "$work/err")"
      kill -KILL "$app_pid" 2>/dev/null
    else
      local audio
      audio=$(grep -oE '/[^ ]*(libQt6Multimedia|libpulse|liborvane_sound)[^ ]*' "/proc/$app_pid/maps" | sort -u | paste -sd' ')
      [ -z "$audio" ] || fail "$name: a start that does not listen mapped $audio"
      # Nor an image-format plugin: nothing a start shows is read from an image file.
      local images
      images=$(grep -oE '/[^ ]*/imageformats/[^ ]*' "/proc/$app_pid/maps" | sort -u | paste -sd' ')
      [ -z "$images" ] || fail "$name: a start mapped the image-format plugins $images"
      DISPLAY=$display xdotool windowclose "$wid"
      for _ in $(seq 100); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
      done
      if kill -0 "$app_pid" 2>/dev/null; then
        fail "$name: still running 10 s after another client destroyed its window"
        kill -KILL "$app_pid" 2>/dev/null
        wid=
      fi
    fi
    status=0
    wait "$app_pid" 2>/dev/null || status=$?
    app_pid=
    # Ended as a closed window ends: status 0, nothing said.
    if [ -n "$wid" ] && { [ "$status" -ne 0 ] || [ -s "$work/err" ]; }; then
      fail "$name: exit status $status after its window was destroyed; stderr: $(paste -sd'|' "$work/err")"
    elif [ -n "$wid" ]; then
      passed=$((passed + 1))
    fi
  done
}

"$mode"
echo "run_exits $mode: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
