// Starts Debian's Chromium headless through puppeteer-core and opens a page of
// the web build, collecting console errors, page errors and network requests.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

import { webDir } from './paths.mjs';

export { webDir };

export async function launch(extraArgs = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-dev-shm-usage', // containers often have a small /dev/shm
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

// The canvas's pixels as the page shows them: { width, height, data } with R,
// G, B, A bytes.
export async function canvasPixels(page) {
  const { width, height, base64 } = await page.evaluate(() => {
    const canvas = document.querySelector('#gra canvas');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let binary = '';
    for (let i = 0; i < data.length; i += 0x8000)
      binary += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
    return { width: canvas.width, height: canvas.height, base64: btoa(binary) };
  });
  return { width, height, data: Buffer.from(base64, 'base64') };
}

// Presses `key` `times` times on the control `id`.
export async function press(page, id, key, times = 1) {
  await page.focus('#' + id);
  for (let i = 0; i < times; ++i) await page.keyboard.press(key);
}

// What the readouts and sliders show.
export function readState(page) {
  return page.evaluate(() => {
    const t = (id) => { const e = document.getElementById(id); return e ? e.textContent : null; };
    const v = (id) => { const e = document.getElementById(id); return e ? Number(e.getAttribute('aria-valuenow')) : null; };
    return { s1: v('Slider1'), s2: v('Slider2'), s3: v('Slider3'), dbomni: t('dbomni'), dbfig8: t('dbfig8'),
      LblAngle: t('LblAngle'), LblGain: t('LblGain') };
  });
}
