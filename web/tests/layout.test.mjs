// The page's window: every control of the layout table at its place and size
// (twips / 15), with its text, in tab order; both editions; the pages' size.
// Phones, tablets and zoomed browsers: touch.test.mjs.
import test from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import zlib from 'node:zlib';
import path from 'node:path';
import { launch, open, webDir, lacks } from './browser.mjs';
import { loadRules } from './module.mjs';

const rules = await loadRules();
const browser = await launch();
test.after(() => browser.close());

const probeControls = ['Slider3', 'LblAngle', 'Label8', 'Label9', 'LblGain', 'Label4x'];

for (const [file, edition] of [['index.html', 0], ['lite.html', 1]]) {
  test(`${file}: window, places, sizes and texts of the layout table`, async () => {
    const table = rules.layout(edition).controls;
    const { page, problems } = await open(browser, file);
    const seen = await page.evaluate(() => {
      const frame = document.getElementById('OrvaneFrm').getBoundingClientRect();
      return {
        title: document.title,
        heading: document.querySelector('h1').textContent,
        frame: [frame.width, frame.height],
        controls: [...document.getElementById('OrvaneFrm').children].map((e) => {
          const r = e.getBoundingClientRect();
          return { id: e.id, box: [r.left - frame.left, r.top - frame.top, r.width, r.height],
            text: e.textContent, fits: e.scrollWidth <= e.clientWidth && e.scrollHeight <= e.clientHeight + 2 };
        }),
      };
    });
    assert.equal(seen.title, 'Orvane');
    assert.equal(seen.heading, 'Orvane');
    assert.deepEqual(seen.frame, [720, 534]);
    assert.deepEqual(seen.controls.map((c) => c.id), table.map((c) => c.name));
    for (const [i, c] of table.entries()) {
      const box = [c.left, c.top, c.width, c.height].map((t) => t / 15);
      assert.deepEqual(seen.controls[i].box, box, `${c.name} place and size`);
      if (c.kind === 'label' || c.kind === 'button') {
        assert.equal(seen.controls[i].text, c.text, `${c.name} text`);
        // Every caption fits its fixed box in the page's fonts, as on the desktop.
        assert.ok(seen.controls[i].fits, `${c.name} fits its box`);
      }
    }
    if (edition === 1) for (const name of probeControls) assert.equal(await page.$('#' + name), null);
    assert.deepEqual(problems, []);
    await page.close();
  });

  test(`${file}: focus starts on the plot and Tab follows the tab order`, async () => {
    const { page } = await open(browser, file);
    const order = ['gra', 'Slider1', 'Slider2', 'Cardiod', 'Command1', 'Command2', 'Command3', 'Command4'];
    if (edition === 0) order.push('Slider3');
    const focused = () => page.evaluate(() => document.activeElement.id);
    const seen = [await focused()];
    for (let i = 1; i < order.length; ++i) {
      await page.keyboard.press('Tab');
      seen.push(await focused());
    }
    assert.deepEqual(seen, order);
    await page.keyboard.down('Shift');
    await page.keyboard.press('Tab');
    await page.keyboard.up('Shift');
    assert.equal(await focused(), order.at(-2));
    await page.close();
  });
}

// 200 KB until the page carried its state in the address and wrote figures
// (the state text, the figure's drawing and its SVG writer, the desktop's own
// code: some 24 KB of WebAssembly), and showed the pattern's figures and a
// kept pattern beside the current one (13 KB of WebAssembly, the panel's
// script and style); 260 KB until it spoke eleven languages: the catalogues'
// texts in the WebAssembly (all but the command line's and the file dialog's),
// written out in the page as base64, are about 135 KB of it.
test('each page, with its script and WebAssembly, stays under 380 KB', () => {
  for (const file of ['index.html', 'lite.html'])
    assert.ok(fs.statSync(path.join(webDir, file)).size < 380_000, file);
});

// As a server sends it, compressed: the WebAssembly with the texts of every
// language is most of it. 105 kB until the links, the figures and the
// pattern's figures came, with their code and their texts in every language
// (some 36 kB).
test('each page, with its script and WebAssembly, stays under 140 kB gzipped', () => {
  for (const file of ['index.html', 'lite.html'])
    assert.ok(zlib.gzipSync(fs.readFileSync(path.join(webDir, file)), { level: 9 }).length < 140_000, file);
});
