#!/usr/bin/env bash
# Starts an edition, or says in one line how to when there is no display to show it on.
set -eu
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "$(basename "$1"): no display found; run it on a virtual one with: xvfb-run -a $1" >&2
  exit 1
fi
exec "$1"
