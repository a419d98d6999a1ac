// Lighthouse (npm, pinned) driving Debian's Chromium, for the test and the
// benchmark: a Chromium of its own, and one run of a preset on a URL.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import * as chromeLauncher from 'chrome-launcher';
import lighthouse from 'lighthouse';
import desktopConfig from 'lighthouse/core/config/desktop-config.js';
import { removeProfile } from './processes.mjs';

export async function startChromium() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-lighthouse-'));
  const chrome = await chromeLauncher.launch({
    chromePath: process.env.CHROMIUM || '/usr/bin/chromium',
    userDataDir: profile,
    chromeFlags: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
      '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  return {
    port: chrome.port,
    close: async () => {
      const group = chrome.pid; // chrome-launcher starts it as a group's leader
      await chrome.kill();
      await removeProfile(group, profile, 'Chromium');
    },
  };
}

// Lighthouse's report (its "lhr") of `url` with the `preset`, 'mobile' (its
// default: a mid-range phone, throttled) or 'desktop', for `categories`.
export async function audit(chrome, url, preset, categories) {
  const { lhr } = await lighthouse(url, { port: chrome.port, output: 'json', logLevel: 'error', onlyCategories: categories },
    preset === 'desktop' ? desktopConfig : undefined);
  return lhr;
}
