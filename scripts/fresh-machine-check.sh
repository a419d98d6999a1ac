#!/usr/bin/env bash
# Tries the README on a truly fresh machine: a minimal Debian 12 system
# (debootstrap --variant=minbase) with only git and make added.
#
#   1. "dev" system: git clone of this checkout's HEAD, then `make run` with
#      no display (it sets up and builds, then says in one line that it found
#      no display). It must have installed none of the test tools (browsers,
#      screen reader, sound server, emscripten, node, GoogleTest) and built no
#      WebAssembly and no tests; the packages and the download it brought in
#      are counted. Then, with xvfb, xauth and xdotool added, `make run` and
#      `make run-lite` under xvfb-run -a (each window must show; it is then
#      closed as another client would). Then `make test`, `cd build && cpack
#      -G DEB` and lintian on the package.
#   2. "pkg" system, a second clean copy: installs that .deb with apt (plus
#      xvfb, xauth and xdotool, to have a virtual display to start it on) and
#      starts both programs there.
# --run-only stops after the `make run` steps (5 to 10 minutes).
#
# Run by hand, as root (it mounts /proc, /sys and /dev/pts into the systems):
#   sudo scripts/fresh-machine-check.sh [--run-only] [--keep] [--cache DIR] [SCRATCH]
# SCRATCH is the folder the systems are built in (default: a new folder under
# /var/tmp); it is removed at the end unless --keep. --cache DIR keeps the
# downloaded Debian packages in DIR between runs. MIRROR overrides the Debian
# mirror (default: the first Debian archive this machine's apt uses),
# SECURITY_MIRROR its security archive (default: this machine's, else Debian's).
# The systems get the release, its updates and its security archive, as
# Debian's installer sets them up. Only
# committed work is tried.
# Takes 20 to 40 minutes on two cores. Exit status 0 when every step passed.
set -euo pipefail

keep=false
run_only=false
cache=
scratch=
while [ $# -gt 0 ]; do
  case $1 in
    --keep) keep=true ;;
    --run-only) run_only=true ;;
    --cache) cache=$(realpath -m "${2:?--cache needs a folder}"); shift ;;
    -h | --help) sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
    -*) echo "fresh-machine-check: unknown option $1" >&2; exit 2 ;;
    *) scratch=$(realpath -m "$1") ;;
  esac
  shift
done

suite=bookworm
# The archive this machine's own apt uses, from its sources (one-line or deb822).
host_mirror() {
  { cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null || true; } |
    sed -n -e 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\)[[:space:]]\+bookworm[[:space:]].*/\2/p' \
           -e 's/^URIs:[[:space:]]*\([^[:space:]]\+\/debian\)[[:space:]]*$/\1/p' | head -n 1
}
mirror=${MIRROR:-$(host_mirror)}
[ -n "$mirror" ] || { echo "fresh-machine-check: no Debian archive in this machine's apt sources; set MIRROR" >&2; exit 1; }
# The security archive this machine uses, else Debian's own.
host_security_mirror() {
  { cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null || true; } |
    sed -n -e 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\)[[:space:]]\+bookworm-security[[:space:]].*/\2/p' \
           -e 's/^URIs:[[:space:]]*\([^[:space:]]\+\/debian-security\)[[:space:]]*$/\1/p' | head -n 1
}
security_mirror=${SECURITY_MIRROR:-$(host_security_mirror)}
security_mirror=${security_mirror:-http://deb.debian.org/debian-security}
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
say() { printf '\n=== %s\n' "$*"; }

[ "$(id -u)" -eq 0 ] || { echo "fresh-machine-check: run it as root" >&2; exit 1; }
command -v debootstrap >/dev/null ||
  { echo "fresh-machine-check: needs debootstrap (apt-get install debootstrap)" >&2; exit 1; }

if [ -z "$scratch" ]; then
  scratch=$(mktemp -d /var/tmp/orvane-fresh.XXXXXX)
else
  mkdir -p "$scratch"
fi
base=$scratch/base dev=$scratch/dev pkg=$scratch/pkg

# Ends what is still running inside the systems, then unmounts everything
# under the scratch folder, deepest first.
cleanup() {
  local status=$? root pid link mnt
  for root in "$dev" "$pkg"; do
    for link in /proc/[0-9]*/root; do
      pid=${link#/proc/}
      pid=${pid%/root}
      [ "$(readlink "$link" 2>/dev/null)" = "$root" ] && kill -KILL "$pid" 2>/dev/null
    done
  done
  sleep 0.5
  findmnt -rn -o TARGET | awk -v s="$scratch/" 'index($0, s) == 1' | sort -r |
    while read -r mnt; do
      umount "$mnt" 2>/dev/null || umount -l "$mnt" || echo "could not unmount $mnt" >&2
    done
  if findmnt -rn -o TARGET | awk -v s="$scratch/" 'index($0, s) == 1' | grep -q .; then
    echo "fresh-machine-check: something is still mounted under $scratch; not removing it" >&2
  elif $keep; then
    echo "fresh-machine-check: kept $scratch"
  else
    rm -rf "$scratch"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Mounts what programs in a chroot expect, and the package cache if any.
prepare() {
  local root=$1
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mkdir -p "$root/dev/pts" "$root/dev/shm"
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
  mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  # Where this machine reaches the registries through a proxy with a
  # certificate authority of its own, the systems trust it too, as the machine's
  # own node does; a machine on the open network has none.
  if [ -f "${NODE_EXTRA_CA_CERTS:-}" ]; then
    mkdir -p "$root/etc/ssl"
    cp "$NODE_EXTRA_CA_CERTS" "$root/etc/ssl/host-extra-ca.crt"
  fi
  if [ -n "$cache" ]; then
    mount --bind "$cache" "$root/var/cache/apt/archives"
  fi
}

# Runs a script in a system as root, with an empty environment.
in_root() {
  local root=$1
  shift
  local extra=()
  [ -f "$root/etc/ssl/host-extra-ca.crt" ] && extra=(NODE_EXTRA_CA_CERTS=/etc/ssl/host-extra-ca.crt)
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 "${extra[@]}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -euo pipefail -c "$@"
}

# Starts a program under xvfb-run -a, waits for its window, closes the window
# as another client would, and reports the program's exit status. Used in
# both systems; the command is $1, run in the system's shell.
window_check='
show_and_close() {
  xvfb-run -a bash -c "
    $1 >/tmp/app.log 2>&1 &
    app=\$!
    if wid=\$(timeout 120 xdotool search --sync --onlyvisible --name \"^Orvane\$\" | head -n1) && [ -n \"\$wid\" ]; then
      echo \"window shown: \$(xdotool getwindowname \$wid), \$(xdotool getwindowgeometry \$wid | sed -n \"s/ *Geometry: //p\")\"
      xdotool windowclose \$wid
      for _ in \$(seq 100); do kill -0 \$app 2>/dev/null || break; sleep 0.1; done
      if kill -0 \$app 2>/dev/null; then
        echo \"FAIL: still running 10 s after its window was destroyed\"; kill \$app; wait \$app; exit 1
      fi
      wait \$app && status=0 || status=\$?
      echo \"exit status after the window was destroyed: \$status\"
      [ -s /tmp/app.log ] && { echo \"--- it printed:\"; cat /tmp/app.log; }
      [ \$status -eq 0 ]
    else
      echo \"FAIL: no window within 120 s\"; cat /tmp/app.log; kill \$app 2>/dev/null; exit 1
    fi"
}
'

failures=0
step() {
  local title=$1
  shift
  say "$title"
  if "$@"; then
    echo "--- ok: $title"
  else
    echo "--- FAILED: $title"
    failures=$((failures + 1))
  fi
}

say "Fresh machine check of $(git -C "$repo" log -1 --format='%h %s') in $scratch"
[ -z "$(git -C "$repo" status --porcelain --untracked-files=no)" ] ||
  echo "note: the checkout has uncommitted changes; only HEAD is tried"
if [ -n "$cache" ]; then
  mkdir -p "$cache/partial"
fi

say "debootstrap --variant=minbase $suite (the archive this machine uses)"
started=$(date +%s)
debootstrap --variant=minbase ${cache:+--cache-dir="$cache"} "$suite" "$base" "$mirror" \
  >"$scratch/debootstrap.log" 2>&1 || { tail -n 20 "$scratch/debootstrap.log"; exit 1; }
echo "done in $(($(date +%s) - started)) s; $(chroot "$base" dpkg-query -W | wc -l) packages"
# A Debian 12 as its installer leaves it: the updates and the security archive
# beside the release. Debian keeps firefox-esr current through the security
# archive alone; the release's own ESR lacks what the page tests' browser
# automation asks of it.
cat >"$base/etc/apt/sources.list" <<EOF_SOURCES
deb $mirror $suite main
deb $mirror $suite-updates main
deb $security_mirror $suite-security main
EOF_SOURCES
cp -a "$base" "$dev"
$run_only || cp -a "$base" "$pkg"
rm -rf "$base"

# --- The developer's machine: only git and make, then the README.
prepare "$dev"
git clone -q --bare --no-local "$repo" "$dev/srv/orvane.git"
git -C "$dev/srv/orvane.git" symbolic-ref HEAD "refs/heads/$(git -C "$repo" branch --show-current)" ||
  true
step "dev: apt-get install git make" in_root "$dev" '
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends git make >/dev/null
  dpkg-query -W git make'
step "dev: git clone" in_root "$dev" 'git clone -q /srv/orvane.git /root/orvane && git -C /root/orvane log -1 --oneline'
# What `make run` may not bring in: the tests' and the pages' tools.
not_for_running='chromium firefox-esr webkit2gtk-driver orca pulseaudio emscripten nodejs npm libgtest-dev libbenchmark-dev xvfb lintian'
in_root "$dev" 'dpkg-query -W -f="\${Package}\n" | LC_ALL=C sort' >"$scratch/before-run.txt"
started=$(date +%s)
step "dev: make run, with no display" in_root "$dev" '
  cd /root/orvane
  make run >/tmp/run.out 2>/tmp/run.err && status=0 || status=$?
  echo "make run: exit status $status; the last lines:"; tail -n 3 /tmp/run.out; tail -n 1 /tmp/run.err
  [ $status -eq 0 ] && tail -n 1 /tmp/run.err | grep -q "^Orvane: cannot open the X display"'
echo "(make run took $(($(date +%s) - started)) s)"
in_root "$dev" 'dpkg-query -W -f="\${Package}\n" | LC_ALL=C sort' >"$scratch/after-run.txt"
LC_ALL=C comm -13 "$scratch/before-run.txt" "$scratch/after-run.txt" >"$scratch/run-packages.txt"
step "dev: make run brought in only what running needs" in_root "$dev" "
  cd /root/orvane
  new=\"$(tr '\n' ' ' <"$scratch/run-packages.txt")\"
  kib=\$(dpkg-query -W -f='\${Installed-Size}\\n' \$new | awk '{ s += \$1 } END { print s }')
  bytes=\$(apt-cache show --no-all-versions \$new | awk '/^Size: / { s += \$2 } END { print s }')
  echo \"make run installed \$(echo \$new | wc -w) packages: \$((bytes / 1000000)) MB to download, \$((kib / 1024)) MiB installed\"
  bad=0
  for p in $not_for_running; do
    if echo \" \$new \" | grep -q \" \$p \"; then echo \"FAIL: make run installed \$p\"; bad=1; fi
  done
  [ ! -e build-web ] || { echo 'FAIL: make run built the pages (build-web/)'; bad=1; }
  [ ! -e build/tests ] || { echo 'FAIL: make run built the tests (build/tests/)'; bad=1; }
  [ \"\$(cd build && ctest -N | sed -n 's/^Total Tests: //p')\" = 0 ] || { echo 'FAIL: make run configured tests'; bad=1; }
  [ \$bad -eq 0 ] && echo 'none of: $not_for_running; no build-web/, no tests'"
step "dev: no display: make run again says so in one line" in_root "$dev" '
  cd /root/orvane
  make run >/tmp/run.out 2>/tmp/run.err && status=0 || status=$?
  echo "make run: exit status $status; stderr:"; cat /tmp/run.err
  [ "$(grep -cv "^make.*Entering\|^make.*Leaving" /tmp/run.err)" -eq 1 ]'
step "dev: apt-get install xvfb xauth xdotool (to see the window)" in_root "$dev" '
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xvfb xauth xdotool >/dev/null
  dpkg-query -W xvfb xdotool'
step "dev: xvfb-run -a make run" in_root "$dev" "$window_check"'
  cd /root/orvane && show_and_close "make --no-print-directory run"'
step "dev: xvfb-run -a make run-lite" in_root "$dev" "$window_check"'
  cd /root/orvane && show_and_close "make --no-print-directory run-lite"'
if $run_only; then
  say "fresh-machine-check --run-only: $failures step(s) failed"
  [ "$failures" -eq 0 ]
  exit
fi
started=$(date +%s)
step "dev: make test" in_root "$dev" 'cd /root/orvane && make test 2>&1 | tail -n 25'
echo "(make test took $(($(date +%s) - started)) s)"
step "dev: cd build && cpack -G DEB" in_root "$dev" '
  cd /root/orvane/build && cpack -G DEB | tail -n 3 && ls -l orvane_*.deb'
step "dev: lintian" in_root "$dev" '
  cd /root/orvane/build && lintian --version && lintian --fail-on error,warning orvane_*.deb &&
  echo "lintian: no errors, no warnings"'
deb=$(ls "$dev"/root/orvane/build/orvane_*.deb 2>/dev/null | head -n1 || true)

# --- A second clean system: the package, as a user would install it.
prepare "$pkg"
if [ -n "$deb" ]; then
  cp "$deb" "$pkg/root/"
  step "pkg: apt-get install ./$(basename "$deb") xvfb xauth xdotool" in_root "$pkg" '
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      /root/orvane_*.deb xvfb xauth xdotool >/dev/null
    dpkg-query -W orvane && dpkg -L orvane | grep -E "bin/|man1|doc/"'
  step "pkg: --version and --help" in_root "$pkg" '
    Orvane --version && OrvaneLite --version && Orvane --help'
  step "pkg: Orvane under xvfb-run -a" in_root "$pkg" "$window_check"'show_and_close Orvane'
  step "pkg: OrvaneLite under xvfb-run -a" in_root "$pkg" "$window_check"'show_and_close OrvaneLite'
else
  echo "no package was built; the second system is not tried"
  failures=$((failures + 1))
fi

say "fresh-machine-check: $failures step(s) failed"
[ "$failures" -eq 0 ]
