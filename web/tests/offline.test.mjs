// Served over http, the pages are an installable app that works offline: the
// manifests and their icons, the service worker in control after a reload, both
// pages opening and working from it with the server stopped, and a second build
// that replaces the first, in every engine; Chromium's own installability
// check. Opened from the file system, the page asks for nothing.
import test from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, open, webDir, lacks, readState } from './browser.mjs';
import { serve } from './serve.mjs';
import { writeOffline } from '../offline.mjs';

const editions = [['index.html', 'Orvane'], ['lite.html', 'OrvaneLite']];
const kept = () => caches.keys();
const ready = () => document.documentElement.dataset.ready === 'true';

// Opens `url` in `page` as a navigation and returns its response.
async function visit(page, url) {
  const response = await page.goto(url);
  await page.waitForFunction(ready, { timeout: 10000 });
  return response;
}

// The icon's pixels as the browser decodes them: size, a corner's alpha, and
// how far from the centre (as a fraction of the width) anything not teal lies.
function iconFacts(src) {
  return new Promise((resolve, reject) => {
    const image = new Image();
    image.onerror = () => reject(new Error('cannot load ' + src));
    image.onload = () => {
      const canvas = document.createElement('canvas');
      canvas.width = image.naturalWidth;
      canvas.height = image.naturalHeight;
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      const { data, width, height } = context.getImageData(0, 0, canvas.width, canvas.height);
      let reach = 0;
      const colours = new Set();
      for (let y = 0; y < height; ++y) {
        for (let x = 0; x < width; ++x) {
          const i = (y * width + x) * 4;
          if (data[i + 3] < 255) continue;
          const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
          if (Math.abs(r - 0) + Math.abs(g - 192) + Math.abs(b - 192) < 24) continue;
          if (r > 200 && g > 200 && b < 60) colours.add('yellow');
          else if (r > 200 && g > 200 && b > 200) colours.add('white');
          else if (r < 40 && g < 40 && b < 40) colours.add('black');
          reach = Math.max(reach, Math.hypot(x + 0.5 - width / 2, y + 0.5 - height / 2) / width);
        }
      }
      resolve({ width, height, cornerAlpha: data[3], reach, colours: [...colours].sort() });
    };
    image.src = src;
  });
}

// Both forms a host may serve: one file a page, and served/, the pages with
// the module beside them.
const forms = [['', webDir], ['served/, the module beside the pages: ', path.join(webDir, 'served')]];

for (const [form, dir] of forms) test(`${form}served over http: installable, kept by the worker, offline, and replaced by a new build`, async (t) => {
  const server = await serve(dir);
  const browser = await launch();
  const second = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-second-build-'));
  t.after(async () => {
    await browser.close();
    await server.close();
    fs.rmSync(second, { recursive: true, force: true });
  });
  const { page, problems, requests } = await open(browser, server.url + 'index.html');
  // A navigation the worker answers: the server hears nothing of it, and in
  // Chromium the response says so.
  const fromWorker = async (url, what) => {
    const asked = server.requests.length;
    const response = await visit(page, url);
    assert.deepEqual(server.requests.slice(asked).filter((r) => r.endsWith('.html')), [], `${what}: the server was not asked`);
    if (!lacks('devtools')) assert.equal(response.fromServiceWorker(), true, `${what}: from the worker`);
  };

  await t.test('manifests: fields and icons, as the browser decodes them', async () => {
    for (const [file, name] of editions) {
      const manifest = JSON.parse(fs.readFileSync(path.join(dir, `${name}.webmanifest`), 'utf8'));
      assert.deepEqual([manifest.name, manifest.short_name, manifest.start_url, manifest.display, manifest.scope],
        [name, name, `./${file}`, 'standalone', './'], name);
      assert.match(manifest.theme_color, /^#[0-9a-f]{6}$/);
      assert.match(manifest.background_color, /^#[0-9a-f]{6}$/);
      assert.deepEqual(manifest.icons.map((i) => [i.sizes, i.purpose]),
        [['192x192', 'any'], ['512x512', 'any'], ['512x512', 'maskable']]);
      for (const icon of manifest.icons) {
        const facts = await page.evaluate(iconFacts, server.url + icon.src);
        const size = Number(icon.sizes.split('x')[0]);
        assert.deepEqual([facts.width, facts.height], [size, size], icon.src);
        assert.deepEqual(facts.colours, ['black', 'white', 'yellow'], `${icon.src}: the three curves`);
        if (icon.purpose === 'maskable') {
          // Teal to the edges, the curves inside the circle every mask keeps.
          assert.equal(facts.cornerAlpha, 255, `${icon.src}: opaque corner`);
          assert.ok(facts.reach < 0.4, `${icon.src}: the motif reaches ${facts.reach} of the width from the centre`);
        } else {
          assert.equal(facts.cornerAlpha, 0, `${icon.src}: the rounded square's corner is clear`);
        }
      }
    }
    assert.equal(await page.$eval('link[rel=manifest]', (l) => l.href), server.url + 'Orvane.webmanifest');
  });

  let first;
  await t.test('the worker keeps the first visit\'s files and answers after a reload', async () => {
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => undefined));
    first = await page.evaluate(kept);
    assert.equal(first.length, 1);
    // The module beside the pages: asked for by the page, and by the worker to keep it.
    if (form) assert.ok(server.requests.includes('/orvane.wasm'), 'the module asked for');
    assert.match(first[0], /^orvane-[0-9a-f]{16}$/);
    await fromWorker(server.url + 'index.html', 'the reload');
    assert.equal(await page.evaluate(() => navigator.serviceWorker.controller !== null), true);
  });

  await t.test('Chromium\'s own installability check finds nothing, for either page', { skip: lacks('devtools') }, async () => {
    const client = await page.createCDPSession();
    for (const [file, name] of editions) {
      await visit(page, server.url + file);
      const { installabilityErrors } = await client.send('Page.getInstallabilityErrors');
      assert.deepEqual(installabilityErrors, [], file);
      const { appId } = await client.send('Page.getAppId');
      assert.equal(appId, server.url + file, `${file}: the app of ${name}`);
    }
    await client.detach();
  });

  await t.test('no cookie, and nothing stored but the worker\'s cache', async () => {
    assert.deepEqual(await page.cookies(), []);
    assert.equal(await page.evaluate(() => localStorage.length + sessionStorage.length), 0);
    assert.equal(await page.evaluate(() => (indexedDB.databases ? indexedDB.databases().then((d) => d.length) : 0)), 0);
  });

  await t.test('a second build that differs replaces the first', async () => {
    // A rebuilt page, and its own worker.
    for (const entry of fs.readdirSync(dir)) {
      if (['index.html', 'lite.html', 'orvane.wasm', 'robots.txt', 'icons'].includes(entry) || entry.endsWith('.webmanifest'))
        fs.cpSync(path.join(dir, entry), path.join(second, entry), { recursive: true });
    }
    const rebuilt = fs.readFileSync(path.join(second, 'index.html'), 'utf8').replace('</body>', '<p id="Rebuilt" hidden></p>\n</body>');
    fs.writeFileSync(path.join(second, 'index.html'), rebuilt);
    const { cache } = writeOffline(second);
    assert.notEqual(cache, first[0], 'a different cache for different files');
    server.root = second;
    // The next visit still shows the kept page, and the browser finds the new
    // worker, which fills its cache and removes the old one; the visit after
    // that shows the new page.
    await visit(page, server.url + 'index.html');
    await page.waitForFunction((name) => caches.keys().then((k) => k.length === 1 && k[0] === name), { timeout: 15000 }, cache);
    await fromWorker(server.url + 'index.html', 'the visit after the update');
    assert.notEqual(await page.$('#Rebuilt'), null, 'the new build is shown');
  });

  await t.test('with the server stopped, both pages open from the worker and work', async () => {
    await server.close();
    for (const [file, name] of editions) {
      await fromWorker(server.url + file, file);
      assert.equal(await page.$eval('#OrvaneFrm', (e) => e.dataset.edition), name);
      await page.click('#Command3');
      const state = await readState(page);
      assert.deepEqual([state.s1, state.s2, state.dbomni, state.dbfig8], [30, 0, '-3.06126050124842', '0'], file);
      assert.equal(await page.$eval('#ErrorBox', (e) => e.hidden), true);
    }
    assert.deepEqual(problems, []);
    assert.deepEqual(requests.filter((r) => !r.startsWith(server.url) && !r.startsWith('data:')), [],
      'requests that leave the origin');
  });
});

test('from the file system: no manifest, no worker, no request but the page', async () => {
  const browser = await launch();
  try {
    for (const [file] of editions) {
      const { page, problems, requests, url } = await open(browser, file);
      assert.deepEqual(requests.filter((r) => r !== url && !r.startsWith('data:')), [], file);
      assert.equal(await page.$('link[rel=manifest]'), null);
      assert.equal(await page.evaluate(() => navigator.serviceWorker ? navigator.serviceWorker.controller : null), null);
      assert.deepEqual(problems, []);
      await page.close();
    }
  } finally {
    await browser.close();
  }
});
