#!/usr/bin/env bash
# Runs the Orca screen reader on a private virtual desktop (session.sh), with
# openbox as window manager, opens the full edition's page from the file system
# in a browser with a fresh profile, and walks it with the keyboard through
# orca_page_walk.py, which checks what Orca would speak.
#
#   run_orca_page.sh firefox|chromium PATH/TO/index.html [TRANSCRIPT]
#
# TRANSCRIPT, if given, receives the walk's transcript, and TRANSCRIPT.orca-debug
# Orca's whole debug output. Exit status: 0 passed, 1 a check failed or a tool
# is missing, 77 no X server could be started (the test is then skipped).
set -u

here=$(cd "$(dirname "$0")" && pwd)
browser=${1:-}
page=${2:-}
transcript=${3:-}
walk_timeout=300 # seconds for the whole walk

# shellcheck source=session.sh
source "$here/session.sh" "run_orca_page_$browser"

case "$browser" in
  firefox) browser_exe=/usr/bin/firefox-esr ;;
  chromium) browser_exe=/usr/bin/chromium ;;
  *) fail "the browser must be firefox or chromium, not '$browser'" ;;
esac
[ -f "$page" ] || fail "no page at '$page'; build the web editions first (make web)"
page=$(cd "$(dirname "$page")" && pwd)/$(basename "$page")

browser_pid=
walk_pid=
session_before_cleanup() {
  stop_pid "$walk_pid"
  stop_group "$browser_pid"
}

session_start
need_tools orca orca openbox openbox script bsdutils "$browser_exe" "${browser_exe##*/}"

orca_start

# A fresh profile each time, with accessibility on, and nothing that reaches
# for the network: no updates, no first-run pages, no telemetry.
profile=$work/profile
mkdir -p "$profile"
url="file://$page"
if [ "$browser" = firefox ]; then
  cat >"$profile/user.js" <<'EOF'
user_pref("accessibility.force_disabled", 0);
user_pref("app.update.auto", false);
user_pref("app.update.enabled", false);
user_pref("browser.aboutwelcome.enabled", false);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.tabs.warnOnClose", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("browser.newtabpage.enabled", false);
user_pref("browser.safebrowsing.malware.enabled", false);
user_pref("browser.safebrowsing.phishing.enabled", false);
user_pref("extensions.update.enabled", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("trailhead.firstrun.didSeeAboutWelcome", true);
user_pref("app.normandy.enabled", false);
user_pref("app.shield.optoutstudies.enabled", false);
user_pref("toolkit.telemetry.enabled", false);
user_pref("toolkit.telemetry.unified", false);
user_pref("datareporting.healthreport.uploadEnabled", false);
user_pref("extensions.getAddons.cache.enabled", false);
user_pref("extensions.systemAddon.update.enabled", false);
user_pref("browser.safebrowsing.downloads.enabled", false);
user_pref("browser.region.update.enabled", false);
user_pref("services.settings.server", "data:,");
user_pref("network.dns.disablePrefetch", true);
user_pref("network.prefetch-next", false);
user_pref("dom.push.connection.enabled", false);
user_pref("media.gmp-manager.url", "data:,");
EOF
  GNOME_ACCESSIBILITY=1 MOZ_CRASHREPORTER_DISABLE=1 setsid "$browser_exe" --no-remote \
    --new-instance --profile "$profile" "$url" >"$work/browser.log" 2>&1 &
else
  # The flags of the page tests' headless runs (web/tests/browser.mjs), with a
  # window and the renderer's accessibility on.
  GNOME_ACCESSIBILITY=1 setsid "$browser_exe" --user-data-dir="$profile" --no-sandbox \
    --disable-gpu --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --disable-dev-shm-usage \
    --force-device-scale-factor=1 --force-renderer-accessibility --no-default-browser-check \
    --password-store=basic "$url" >"$work/browser.log" 2>&1 &
fi
browser_pid=$!

orca_walk "$walk_timeout" "$here/orca_page_walk.py" --browser "$browser"
status=$walk_status
if ! kill -0 "$browser_pid" 2>/dev/null; then
  echo "run_orca_page: FAILED (the browser exited during the walk)"
  status=1
fi
if [ "$status" -ne 0 ] && [ -s "$work/browser.log" ]; then
  echo "--- what the browser printed (last lines):"
  tail -n 30 "$work/browser.log"
fi
echo "run_orca_page: $browser walk done in $(($(date +%s) - orca_started)) s from Orca's start"
[ "$status" -eq 0 ]
