// Starts Debian's Chromium headless through puppeteer-core and opens a page of
// the web build, collecting console errors, page errors and network requests.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const webDir = path.resolve(process.env.ORVANE_WEB_DIR || new URL('../../build-web', import.meta.url).pathname);

export async function launch(extraArgs = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--force-device-scale-factor=1', ...extraArgs],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// Opens `file` (index.html or lite.html) from the file system and waits until
// the load handler has run. `problems` collects what must not happen.
export async function open(browser, file = 'index.html', { viewport = { width: 800, height: 600 }, beforeLoad } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ ...viewport, deviceScaleFactor: viewport.deviceScaleFactor || 1 });
  const problems = [];
  const requests = [];
  page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warning') problems.push(`console ${m.type()}: ${m.text()}`); });
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
  page.on('request', (r) => requests.push(r.url()));
  if (beforeLoad) await beforeLoad(page);
  const url = 'file://' + path.join(webDir, file);
  await page.goto(url);
  await page.waitForFunction(() => document.documentElement.dataset.ready === 'true', { timeout: 10000 });
  return { page, problems, requests, url };
}

export const text = (page, id) => page.$eval('#' + id, (e) => e.textContent);
export const sliderValue = (page, id) => page.$eval('#' + id, (e) => Number(e.getAttribute('aria-valuenow')));
