// Starts a browser and opens a page of the web build, collecting console
// errors, page errors and network requests. The engine comes from
// ORVANE_BROWSER (CTest sets it): `chromium` (Debian's Chromium, headless,
// through puppeteer-core and the DevTools protocol, the default), `firefox`
// (Debian's Firefox ESR, headless, through puppeteer-core and WebDriver BiDi)
// or `webkit` (WebKitGTK's MiniBrowser through WebKitWebDriver on a private
// virtual display, behind the same page interface: webkit.mjs).
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

import { webDir } from './paths.mjs';
import { removeProfile } from './processes.mjs';
import { launchWebKit } from './webkit.mjs';

export { webDir };

export const engine = process.env.ORVANE_BROWSER || 'chromium';
const engines = ['chromium', 'firefox', 'webkit'];
if (!engines.includes(engine)) throw new Error(`ORVANE_BROWSER is "${engine}"; it must be one of ${engines.join(', ')}`);

// What an engine's automation cannot do. A test or a check that needs it is
// skipped with this reason, so that nothing passes without having run:
//   test('...', { skip: lacks('pixelRatio') }, async () => { ... });
//   if (lacks('preload')) return t.skip(lacks('preload'));
// A feature no engine lacks (a typing error) is an error, not a silent pass.
const limits = {
  chromium: {},
  firefox: {
    accessibilityTree: 'puppeteer reads no accessibility tree over WebDriver BiDi',
    devtools: 'the DevTools protocol is Chromium\'s',
    mobileEmulation: 'puppeteer emulates a phone\'s browser (isMobile, hasTouch) over the DevTools protocol alone',
  },
  webkit: {
    accessibilityTree: 'classic WebDriver reads no accessibility tree',
    devtools: 'the DevTools protocol is Chromium\'s',
    preload: 'classic WebDriver runs no script before the page\'s own',
    mobileEmulation: 'classic WebDriver cannot emulate a phone\'s browser',
    pixelRatio: 'WebKitGTK\'s pixel ratio is the display\'s and WebDriver cannot change it',
    loadConsole: 'classic WebDriver has no console events: messages during load are not seen (the watch starts after load)',
  },
};
export function lacks(feature) {
  if (!Object.values(limits).some((l) => feature in l)) throw new Error(`lacks(): no engine lacks "${feature}"`);
  return limits[engine][feature] ? `${engine}: ${limits[engine][feature]}` : false;
}

// `language` is the browser's language (navigator.language), e.g. 'de-DE'.
export async function launch(extraArgs = [], { language = 'en-US' } = {}) {
  if (engine === 'webkit') return launchWebKit({ language });
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), `orvane-${engine}-`));
  const browser = engine === 'firefox'
    ? await puppeteer.launch({
      browser: 'firefox',
      executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr',
      timeout: 90000, // a fresh profile starts slowly on a busy machine
      headless: true,
      userDataDir: profile,
      extraPrefsFirefox: { 'intl.accept_languages': language },
      args: extraArgs,
    })
    : await puppeteer.launch({
      executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
      headless: true,
      userDataDir: profile,
      args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        '--disable-dev-shm-usage', // containers often have a small /dev/shm
        '--force-device-scale-factor=1', `--lang=${language}`, `--accept-lang=${language}`, ...extraArgs],
    });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    const group = browser.process().pid; // puppeteer starts it as a group's leader
    await close();
    await removeProfile(group, profile, engine);
  };
  return browser;
}

// Opens `file` (index.html or lite.html) from the file system, or any URL,
// and waits until the load handler has run. `problems` collects what must not
// happen, `requests` the URLs the page asked for.
export async function open(browser, file = 'index.html', { viewport = { width: 800, height: 600 }, beforeLoad } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ ...viewport, deviceScaleFactor: viewport.deviceScaleFactor || 1 });
  let problems = [];
  let requests = [];
  if (engine === 'webkit') {
    ({ problems, requests } = page);
  } else {
    page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warn' || m.type() === 'warning') problems.push(`console ${m.type()}: ${m.text()}`); });
    page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
    page.on('request', (r) => requests.push(r.url()));
  }
  if (beforeLoad) await beforeLoad(page);
  const url = /^[a-z]+:/.test(file) ? file : 'file://' + path.join(webDir, file);
  await page.goto(url);
  await page.waitForFunction(() => document.documentElement.dataset.ready === 'true', { timeout: 10000 });
  if (engine === 'firefox' && url.startsWith('file:')) {
    // WebDriver BiDi reports no file:// requests; the page's resource timing
    // lists what it fetched.
    const fetched = await page.evaluate(() => performance.getEntriesByType('resource').map((e) => e.name));
    for (const r of [url, ...fetched]) if (!requests.includes(r)) requests.push(r);
  }
  if (engine === 'webkit') {
    requests.push(url);
    await page.watch();
    // What went wrong during load the page shows in its own error box.
    const error = await page.$eval('#ErrorBox', (e) => (e.hidden ? null : document.getElementById('ErrorText').textContent));
    if (error) problems.push(`page error: ${error}`);
  }
  return { page, problems, requests, url };
}
export const text = (page, id) => page.$eval('#' + id, (e) => e.textContent);
export const sliderValue = (page, id) => page.$eval('#' + id, (e) => Number(e.getAttribute('aria-valuenow')));

// The canvas's pixels as the page shows them (the plot's, or another's by
// its selector): { width, height, data } with R, G, B, A bytes.
export async function canvasPixels(page, selector = '#gra canvas') {
  const { width, height, base64 } = await page.evaluate((selector) => {
    const canvas = document.querySelector(selector);
    // Read from a copy: reading the page's own canvas again and again would
    // make Chromium warn the page that it reads back often, which it never does.
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d', { willReadFrequently: true });
    context.drawImage(canvas, 0, 0);
    const data = context.getImageData(0, 0, canvas.width, canvas.height).data;
    let binary = '';
    for (let i = 0; i < data.length; i += 0x8000)
      binary += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
    return { width: canvas.width, height: canvas.height, base64: btoa(binary) };
  }, selector);
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
