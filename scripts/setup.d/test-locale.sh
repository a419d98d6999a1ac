#!/usr/bin/env bash
# Generates the German locale (de_DE.UTF-8), under which the accessibility test
# checks that the readouts use a decimal comma. Does nothing when it exists.
# Run by `setup.sh test`, which installs the locales package and sets SUDO.
set -euo pipefail

wanted=de_DE.UTF-8
if locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  exit 0
fi

echo "setup: generating locale $wanted"
# Enable the line Debian ships commented out, or add it if there is none.
if grep -q "^[#[:space:]]*${wanted}[[:space:]]\+UTF-8" /etc/locale.gen 2>/dev/null; then
  ${SUDO:-} sed -i "s/^[#[:space:]]*\(${wanted}[[:space:]]\+UTF-8\)/\1/" /etc/locale.gen
else
  echo "$wanted UTF-8" | ${SUDO:-} tee -a /etc/locale.gen >/dev/null
fi
# Keeps the locales already generated and builds only the missing ones.
${SUDO:-} locale-gen --keep-existing
