#!/usr/bin/env bash
# Builds the web editions with Debian's emscripten into DIR (default build-web).
# Usage: web/build.sh [DIR] [JOBS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build-web}"
jobs="${2:-2}"
# Debian's emscripten finds its JavaScript parser (acorn) among Debian's node modules.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  emcmake cmake -S "$root/web" -B "$dir" -DCMAKE_BUILD_TYPE=Release
fi
# Its own make, not a part of a calling make's job slots.
env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build "$dir" -j "$jobs"
