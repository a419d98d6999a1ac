#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, and only
# those that are missing. Runs apt-get as root, or through sudo otherwise.
set -euo pipefail

packages=(
  g++ make cmake pkg-config
  qt6-base-dev            # Qt 6 Widgets and QtTest
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev
  fonts-liberation        # the window's sans-serif face
  fonts-dejavu-core       # the notice line's symbol glyph
  xvfb xauth              # a virtual display, for running without a desktop
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null; then
  sudo=(sudo)
else
  echo "setup: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
  exit 1
fi
echo "setup: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
