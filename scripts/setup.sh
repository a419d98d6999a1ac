#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing, then
# runs the further steps in scripts/setup.d/. Runs as root, or through sudo.
set -euo pipefail
cd "$(dirname "$0")"

# How to run a command as root; the steps in setup.d use it too.
if [ "$(id -u)" -eq 0 ]; then
  export SUDO=""
elif command -v sudo >/dev/null; then
  export SUDO="sudo"
else
  export SUDO="false" # nothing to install with: fails below only if something is missing
fi

mapfile -t packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' packages.txt)
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

for step in setup.d/*.sh; do
  [ -e "$step" ] && bash "$step"
done
exit 0
