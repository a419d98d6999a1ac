// WebKit for the page tests: Debian's WebKitWebDriver starting MiniBrowser on a
// private virtual display, driven over classic WebDriver (selenium-webdriver's
// HTTP client), behind the small part of puppeteer's Browser and Page that the
// tests use: newPage, setViewport, goto, reload, title, evaluate, $eval, $, $$,
// focus, click, waitForFunction, addScriptTag, cookies, screenshot (path, clip,
// encoding), keyboard (press, down, up, type), mouse (move, down, up, click, wheel), touchscreen
// (tap), element handles (boundingBox, click, focus, evaluate), close.
//
// Keys and the pointer are W3C actions, so the page gets real input events.
// "Execute Script" awaits a promise the script returns, so async checks work.
// WebDriver has no console or network events: the page is watched by a hook
// installed once it has loaded (console errors and warnings, uncaught errors,
// refused requests, fetched resources), and what the hook saw is collected on
// every later call, so `problems` and `requests` are current whenever a test
// reads them after a call on the page.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { Builder, WebElement } from 'selenium-webdriver';
import { Command, Name } from 'selenium-webdriver/lib/command.js';
import { removeProfile } from './processes.mjs';

const minibrowser = process.env.MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const driverBinary = process.env.WEBKITWEBDRIVER || '/usr/bin/WebKitWebDriver';

// puppeteer's key names as WebDriver's key codes.
const keyCodes = {
  ArrowUp: '\uE013', ArrowDown: '\uE015', ArrowLeft: '\uE012', ArrowRight: '\uE014',
  PageUp: '\uE00E', PageDown: '\uE00F', Home: '\uE011', End: '\uE010', Tab: '\uE004',
  Enter: '\uE007', Escape: '\uE00C', Backspace: '\uE003', Delete: '\uE017', Space: ' ',
  Shift: '\uE008', Control: '\uE009', Alt: '\uE00A', Meta: '\uE03D',
};
const keyCode = (key) => {
  if (key in keyCodes) return keyCodes[key];
  if ([...key].length === 1) return key;
  throw new Error(`WebKit adapter: no WebDriver code for the key "${key}"`);
};
const buttons = { left: 0, middle: 1, right: 2 };

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// Xvfb picks a free display itself and writes its number to a pipe.
function startXvfb() {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
    { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
  let errors = '';
  xvfb.stderr.on('data', (d) => { errors += d; });
  return new Promise((resolve, reject) => {
    let text = '';
    xvfb.stdio[3].on('data', (d) => {
      text += d;
      if (text.includes('\n')) resolve({ process: xvfb, display: ':' + text.trim() });
    });
    xvfb.once('exit', (code) => reject(new Error(`Xvfb ended (${code}) before it opened a display: ${errors}`)));
    xvfb.once('error', reject);
  });
}

async function waitForDriver(port, child) {
  for (let i = 0; i < 100; ++i) {
    if (child.exitCode !== null) throw new Error(`WebKitWebDriver ended with status ${child.exitCode}`);
    try {
      const response = await fetch(`http://127.0.0.1:${port}/status`);
      if (response.ok) return;
    } catch { /* not listening yet */ }
    await new Promise((r) => setTimeout(r, 50));
  }
  throw new Error('WebKitWebDriver did not start');
}

// Installed in the page once it has loaded; see the top of this file.
function installWatch() {
  if (window.__orvaneWatch) return;
  const watch = window.__orvaneWatch = { problems: [], requests: [] };
  for (const type of ['error', 'warn']) {
    const original = console[type].bind(console);
    console[type] = (...args) => {
      watch.problems.push(`console ${type === 'warn' ? 'warning' : 'error'}: ${args.map(String).join(' ')}`);
      original(...args);
    };
  }
  window.addEventListener('error', (e) => watch.problems.push(`page error: ${e.message}`));
  window.addEventListener('unhandledrejection', (e) => watch.problems.push(`page error: ${e.reason}`));
  document.addEventListener('securitypolicyviolation', (e) =>
    watch.problems.push(`console error: refused ${e.blockedURI} (${e.violatedDirective})`));
  for (const entry of performance.getEntriesByType('resource')) watch.requests.push(entry.name);
  new PerformanceObserver((list) => { for (const e of list.getEntries()) watch.requests.push(e.name); })
    .observe({ type: 'resource' });
}

class Element {
  constructor(page, element) { this.page = page; this.element = element; }
  boundingBox() {
    return this.page.evaluate((e) => {
      const r = e.getBoundingClientRect();
      return { x: r.x, y: r.y, width: r.width, height: r.height };
    }, this);
  }
  evaluate(fn, ...args) { return this.page.evaluate(fn, this, ...args); }
  async click() {
    const box = await this.page.evaluate((e) => {
      e.scrollIntoView({ block: 'center', inline: 'center' });
      const r = e.getBoundingClientRect();
      return { x: r.x, y: r.y, width: r.width, height: r.height };
    }, this);
    await this.page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  }
  focus() { return this.page.evaluate((e) => e.focus(), this); }
}

class Page {
  constructor(browser) {
    this.browser = browser;
    this.driver = browser.driver;
    this.problems = [];
    this.requests = [];
    this.pointer = { x: 0, y: 0 };
    this.held = [];
    const page = this;
    this.keyboard = {
      press: (key) => page.keys([{ type: 'keyDown', value: keyCode(key) }, { type: 'keyUp', value: keyCode(key) }]),
      down: (key) => page.keys([{ type: 'keyDown', value: keyCode(key) }]),
      up: (key) => page.keys([{ type: 'keyUp', value: keyCode(key) }]),
      type: (text) => page.keys([...text].flatMap((c) => [{ type: 'keyDown', value: c }, { type: 'keyUp', value: c }])),
    };
    this.mouse = {
      move: (x, y, { steps = 1 } = {}) => {
        const from = { ...page.pointer };
        const moves = [];
        for (let i = 1; i <= steps; ++i)
          moves.push(page.moveTo(from.x + ((x - from.x) * i) / steps, from.y + ((y - from.y) * i) / steps));
        return page.mouseActions(moves);
      },
      down: ({ button = 'left' } = {}) => page.mouseActions([{ type: 'pointerDown', button: buttons[button] }]),
      up: ({ button = 'left' } = {}) => page.mouseActions([{ type: 'pointerUp', button: buttons[button] }]),
      click: (x, y, { button = 'left', count = 1 } = {}) => page.mouseActions([page.moveTo(x, y),
        ...Array.from({ length: count }, () => [{ type: 'pointerDown', button: buttons[button] },
          { type: 'pointerUp', button: buttons[button] }]).flat()]),
      wheel: ({ deltaX = 0, deltaY = 0 } = {}) => page.actions([{ type: 'wheel', id: 'wheel', actions: [{
        type: 'scroll', origin: 'viewport', x: Math.round(page.pointer.x), y: Math.round(page.pointer.y),
        deltaX: Math.round(deltaX), deltaY: Math.round(deltaY), duration: 0 }] }]),
    };
    this.touchscreen = {
      tap: (x, y) => page.actions([{ type: 'pointer', id: 'finger', parameters: { pointerType: 'touch' }, actions: [
        { type: 'pointerMove', origin: 'viewport', x: Math.round(x), y: Math.round(y), duration: 0 },
        { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }] }]),
    };
  }

  moveTo(x, y) {
    this.pointer = { x, y };
    return { type: 'pointerMove', origin: 'viewport', x: Math.round(x), y: Math.round(y), duration: 0 };
  }

  async actions(sources) {
    await this.driver.execute(new Command(Name.ACTIONS).setParameter('actions', sources));
    await this.collect();
  }
  keys(actions) { return this.actions([{ type: 'key', id: 'keyboard', actions }]); }
  mouseActions(actions) {
    return this.actions([{ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions }]);
  }

  // Runs `fn` (a function or an expression) in the page with `args`; element
  // handles go over as WebDriver elements. Also collects what the watch saw.
  async evaluate(fn, ...args) {
    const source = typeof fn === 'function' ? fn.toString() : `() => (${fn})`;
    const result = await this.driver.executeScript(
      `const watch = window.__orvaneWatch;
       return Promise.resolve((${source}).apply(null, arguments)).then((value) => ({
         value: value === undefined ? null : value, undefined: value === undefined,
         problems: watch ? watch.problems.splice(0) : [], requests: watch ? watch.requests.splice(0) : [] }));`,
      ...args.map((a) => (a instanceof Element ? a.element : a)));
    this.problems.push(...result.problems);
    this.requests.push(...result.requests);
    return result.undefined ? undefined : result.value;
  }

  collect() { return this.evaluate(() => {}); }

  async $(selector) {
    const found = await this.driver.executeScript('return document.querySelector(arguments[0])', selector);
    return found instanceof WebElement ? new Element(this, found) : null;
  }

  async $$(selector) {
    const found = await this.driver.executeScript('return [...document.querySelectorAll(arguments[0])]', selector);
    return found.map((e) => new Element(this, e));
  }

  async $eval(selector, fn, ...args) {
    const element = await this.$(selector);
    if (!element) throw new Error(`No element matches the selector ${selector}`);
    return this.evaluate(fn, element, ...args);
  }

  async focus(selector) {
    const element = await this.$(selector);
    if (!element) throw new Error(`No element matches the selector ${selector}`);
    await element.focus();
  }

  async click(selector) {
    const element = await this.$(selector);
    if (!element) throw new Error(`No element matches the selector ${selector}`);
    await element.click();
  }

  async waitForFunction(fn, { timeout = 30000, polling = 20 } = {}, ...args) {
    const end = Date.now() + timeout;
    for (;;) {
      const value = await this.evaluate(fn, ...args);
      if (value) return value;
      if (Date.now() > end) throw new Error(`Waiting for ${fn} failed: ${timeout} ms exceeded`);
      await new Promise((r) => setTimeout(r, polling));
    }
  }

  addScriptTag({ content }) {
    return this.evaluate((text) => {
      const script = document.createElement('script');
      script.textContent = text;
      document.head.appendChild(script);
    }, content);
  }

  async goto(url) {
    await this.driver.get(url);
    this.currentUrl = url;
  }

  url() { return this.currentUrl; }

  async reload() {
    await this.driver.navigate().refresh();
  }

  title() { return this.driver.getTitle(); }

  // The viewport's picture as PNG (written to `path` when given), as bytes or,
  // with encoding 'base64', as text; `clip` (CSS pixels of the viewport) cuts
  // it out in the page, at the page's pixel ratio. It may lag a frame behind
  // the last input.
  async screenshot({ path: file, clip, encoding } = {}) {
    let base64 = await this.driver.takeScreenshot();
    if (clip) {
      base64 = await this.evaluate(async (shot, box) => {
        const image = new Image();
        image.src = 'data:image/png;base64,' + shot;
        await image.decode();
        const ratio = window.devicePixelRatio || 1;
        const cut = document.createElement('canvas');
        cut.width = Math.round(box.width * ratio);
        cut.height = Math.round(box.height * ratio);
        cut.getContext('2d').drawImage(image, Math.round(box.x * ratio), Math.round(box.y * ratio),
          cut.width, cut.height, 0, 0, cut.width, cut.height);
        return cut.toDataURL('image/png').split(',')[1];
      }, base64, clip);
    }
    const png = Buffer.from(base64, 'base64');
    if (file) fs.writeFileSync(file, png);
    return encoding === 'base64' ? base64 : png;
  }

  on(event) {
    throw new Error(`WebKit over classic WebDriver has no "${event}" events; open() collects problems and requests`);
  }

  // The page after load is watched from here on.
  watch() { return this.evaluate(installWatch); }

  async cookies() {
    return (await this.driver.manage().getCookies()).map((c) => ({ name: c.name, value: c.value }));
  }

  evaluateOnNewDocument() {
    throw new Error('WebKit over classic WebDriver runs no script before the page\'s own');
  }

  // The window is sized so that the page's viewport has this size. WebKitGTK's
  // pixel ratio is the display's; Xvfb's is 1.
  async setViewport({ width, height, deviceScaleFactor = 1 }) {
    if (deviceScaleFactor !== 1) throw new Error('WebKit over WebDriver cannot change the pixel ratio');
    let rect = { width, height };
    for (let attempt = 0; attempt < 20; ++attempt) {
      await this.driver.manage().window().setRect(rect);
      await new Promise((r) => setTimeout(r, 30));
      const inner = await this.driver.executeScript('return [innerWidth, innerHeight]');
      if (inner[0] === width && inner[1] === height) return;
      const outer = await this.driver.manage().window().getRect();
      rect = { width: outer.width + width - inner[0], height: outer.height + height - inner[1] };
    }
    throw new Error(`WebKit: the window cannot give a viewport of ${width} x ${height}`);
  }

  async close() {
    await this.driver.get('about:blank');
    this.browser.page = null;
  }
}

class Browser {
  constructor(driver, stop) { this.driver = driver; this.stop = stop; this.page = null; }
  async newPage() {
    // WebKitWebDriver drives one window: a new page replaces the last one.
    if (this.page) await this.page.close();
    this.page = new Page(this);
    return this.page;
  }
  async version() { return `MiniBrowser ${(await this.driver.getCapabilities()).get('browserVersion')}`; }
  async close() {
    try { await this.driver.quit(); } finally { await this.stop(); }
  }
}

export async function launchWebKit({ language = 'en-US' } = {}) {
  const home = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-webkit-'));
  const xvfb = await startXvfb();
  const port = await freePort();
  // MiniBrowser takes the page's language from LANG (en_US.UTF-8 gives en-US
  // even where that locale is not generated); its caches and data go to a
  // fresh home, removed afterwards.
  const env = { ...process.env, DISPLAY: xvfb.display, LANG: `${language.replace('-', '_')}.UTF-8`, HOME: home,
    XDG_CACHE_HOME: path.join(home, 'cache'), XDG_DATA_HOME: path.join(home, 'data'),
    XDG_CONFIG_HOME: path.join(home, 'config'), NO_AT_BRIDGE: '1', GDK_BACKEND: 'x11' };
  delete env.WAYLAND_DISPLAY;
  // The driver leads a process group that holds MiniBrowser and its web and
  // network processes.
  const child = spawn(driverBinary, [`--port=${port}`], { env, stdio: ['ignore', 'ignore', 'pipe'], detached: true });
  let log = '';
  child.stderr.on('data', (d) => { log = (log + d).slice(-4000); });
  // Should the test end without closing the browser, the driver and the
  // display go with it (MiniBrowser ends with its display).
  const orphans = () => {
    try { process.kill(-child.pid); } catch { /* the group has ended */ }
    xvfb.process.kill();
  };
  process.once('exit', orphans);
  const stop = async () => {
    process.removeListener('exit', orphans);
    await removeProfile(child.pid, home, 'WebKit');
    if (xvfb.process.exitCode === null) {
      const ended = new Promise((r) => xvfb.process.once('exit', r));
      xvfb.process.kill();
      await ended;
    }
  };
  try {
    await waitForDriver(port, child);
    const driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
      browserName: 'MiniBrowser',
      'webkitgtk:browserOptions': { binary: minibrowser, args: ['--automation'] },
    }).build();
    await driver.manage().setTimeouts({ script: 300000, pageLoad: 30000 });
    return new Browser(driver, stop);
  } catch (error) {
    await stop();
    throw new Error(`${error.message}\n${log}`);
  }
}
