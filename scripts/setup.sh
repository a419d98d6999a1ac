#!/usr/bin/env bash
# Installs the missing Debian packages of the groups named, then runs those
# groups' further steps (scripts/setup.d/GROUP-*.sh). Runs as root, or through sudo.
#
#   scripts/setup.sh [GROUP...]     GROUP: run, web, test (default: all three)
#
# run:  build and run the desktop programs (scripts/packages/run.txt)
# web:  build the web pages (packages/web.txt)
# test: the tests and benchmarks (packages/test.txt; the web tests' npm packages)
# A group needs the ones before it: `setup.sh test` alone installs test.txt only.
set -euo pipefail
cd "$(dirname "$0")"

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(run web test)
for group in "${groups[@]}"; do
  [ -f "packages/$group.txt" ] || { echo "setup: no group '$group' (run, web, test)" >&2; exit 2; }
done

# How to run a command as root; the steps in setup.d use it too.
if [ "$(id -u)" -eq 0 ]; then
  export SUDO=""
elif command -v sudo >/dev/null; then
  export SUDO="sudo"
else
  export SUDO="false" # nothing to install with: fails below only if something is missing
fi

packages=()
for group in "${groups[@]}"; do
  mapfile -t -O ${#packages[@]} packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' "packages/$group.txt")
done
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$SUDO" = false ]; then
    echo "setup: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  # Waits for another apt run to finish instead of failing on its lock.
  apt=(apt-get -o DPkg::Lock::Timeout=900)
  $SUDO "${apt[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
fi

for group in "${groups[@]}"; do
  for step in setup.d/"$group"-*.sh; do
    [ -e "$step" ] && bash "$step"
  done
done
exit 0
