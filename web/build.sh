#!/usr/bin/env bash
# Builds the web editions with Debian's emscripten into DIR (default build-web).
# MAKE_ICONS is the desktop build's icon painter, which paints the web app's
# icons (needed the first time, and whenever it moves).
# Usage: web/build.sh [DIR] [JOBS] [MAKE_ICONS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build-web}"
jobs="${2:-2}"
icons="${3:-}"
# Debian's emscripten finds its JavaScript parser (acorn) among Debian's node modules.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  emcmake cmake -S "$root/web" -B "$dir" -DCMAKE_BUILD_TYPE=Release ${icons:+"-DORVANE_MAKE_ICONS=$icons"}
elif [ -n "$icons" ] && ! grep -qxF "ORVANE_MAKE_ICONS:FILEPATH=$icons" "$dir/CMakeCache.txt"; then
  cmake -S "$root/web" -B "$dir" "-DORVANE_MAKE_ICONS=$icons"
fi
# Its own make, not a part of a calling make's job slots.
env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build "$dir" -j "$jobs"
