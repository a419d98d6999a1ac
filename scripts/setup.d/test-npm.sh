#!/usr/bin/env bash
# The web editions' tools: npm, when Node.js came without it, and the tests' npm
# packages (puppeteer-core, selenium-webdriver, axe-core, lighthouse) exactly as
# web/package-lock.json pins them.
# No browser is downloaded: the tests drive Debian's chromium, firefox-esr and WebKit.
# Run by `setup.sh test`, after the web group (nodejs) and the browsers are installed; setup.sh sets SUDO.
set -euo pipefail
cd "$(dirname "$0")/../../web"

if ! command -v npm >/dev/null; then
  echo "setup: installing npm"
  ${SUDO:-} apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends npm
fi
# Again only when the lockfile changed since the last install.
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  echo "setup: installing the web tests' npm packages"
  PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error
fi
