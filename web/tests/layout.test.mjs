// The page's window: every control of the layout table at its place and size
// (twips / 15), with its text, in tab order; both editions; the pages' size.
// Phones, tablets and zoomed browsers: touch.test.mjs.
import test from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { launch, open, press, webDir, lacks } from './browser.mjs';
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

  test(`${file}: the title bar holds the action table's page buttons, in its order, with their keys`, async () => {
    const { actions, texts } = rules.layout(edition);
    const { page, problems } = await open(browser, file);
    const seen = await page.evaluate(() => ({
      controls: [...document.querySelectorAll('#TitleButtons button:not([role=menuitem]), #TitleButtons select')].map((e) => ({
        id: e.id, text: e.textContent, title: e.getAttribute('title'), keys: e.getAttribute('aria-keyshortcuts'),
        role: e.getAttribute('role'), pressed: e.getAttribute('aria-pressed'), checked: e.getAttribute('aria-checked'),
      })),
      plotKeys: document.getElementById('gra').getAttribute('aria-keyshortcuts'),
    }));
    // The ids, roles and states that tests and screen readers find them by.
    const ids = ['ListenButton', 'ProbeSoundSwitch', 'ShareButton', 'SaveImageButton', 'DetailsButton', 'StereoPairButton', 'KeepButton',
      'ClearKeptButton', 'DbButton', 'RangeChoice', 'Maximise'].filter((id) => edition === 0 || id !== 'ProbeSoundSwitch');
    assert.deepEqual(seen.controls.map((c) => c.id), ids);
    const pageOwn = ['ShareButton', 'RangeChoice', 'Maximise'];
    assert.deepEqual(actions.map((a) => a.id), ids.filter((id) => !pageOwn.includes(id)), 'the table\'s page entries, in its order');
    for (const a of actions) {
      const c = seen.controls.find((control) => control.id === a.id);
      assert.deepEqual([c.text, c.title || '', c.keys || ''], [a.text, a.title, a.letter], a.name);
      // A switch is read as one: a role=switch, else a toggle button.
      if (a.checkable) assert.deepEqual(c.role === 'switch' ? c.checked : c.pressed, 'false', a.name);
    }
    assert.deepEqual(actions.filter((a) => a.letter).map((a) => [a.name, a.letter]),
      [['ListenAction', 'L'], ['DetailsAction', 'D'], ['StereoPairAction', 'P'], ['KeepAction', 'K'], ['DatasheetAction', 'V']]);
    assert.equal(seen.plotKeys, 'L D P K V');
    assert.equal(seen.controls.find((c) => c.id === 'ShareButton').text, texts.share);
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

// As a server sends it, compressed as `gzip -9` does. 135.5 kB until the page
// came within 100 kB (98.8 kB): the languages' texts went from the WebAssembly
// to the page's script as text (11 kB less), the WebAssembly from base64 to
// one character a byte (16.7 kB), the glue's JSON to one writer (5.5 kB), the
// exports only the tests use out of the page's module (2.5 kB), the rules that
// run once per action compiled for size (2.7 kB), the exceptions the engine's
// own (5.4 kB), the window's own texts out of the page (2 kB).
const gzipped = (file) => execFileSync('gzip', ['-9', '-c', file], { maxBuffer: 1 << 24 }).length;
const kB = 100_000;

test('each page, one file with its script and WebAssembly, is at most 100 kB after gzip -9', () => {
  for (const file of ['index.html', 'lite.html']) {
    const size = gzipped(path.join(webDir, file));
    assert.ok(size <= kB, `${file}: ${size} bytes after gzip -9`);
  }
});

// Uncompressed, as a page is saved or opened from the file system: 366 KB
// until the WebAssembly was written as one character a byte.
test('each page, with its script and WebAssembly, stays under 300 KB', () => {
  for (const file of ['index.html', 'lite.html'])
    assert.ok(fs.statSync(path.join(webDir, file)).size < 300_000, file);
});

// served/: the same pages for a host that serves files separately, with the
// module beside them in orvane.wasm, which both share and the host compresses
// as it is: a page and the module together are less than the one file, and
// within the same budget.
test('served/: each page with the module beside it is at most 100 kB after gzip -9, less than the one file', () => {
  const served = path.join(webDir, 'served');
  const module = gzipped(path.join(served, 'orvane.wasm'));
  for (const file of ['index.html', 'lite.html']) {
    const size = gzipped(path.join(served, file)) + module;
    assert.ok(size <= kB, `served/${file} and orvane.wasm: ${size} bytes after gzip -9`);
    assert.ok(size < gzipped(path.join(webDir, file)), `served/${file} and orvane.wasm: less than ${file}`);
  }
  // The same module as the one-file pages carry.
  assert.deepEqual(fs.readFileSync(path.join(served, 'orvane.wasm')), fs.readFileSync(path.join(webDir, 'orvane.wasm')));
});

// The stereo pair's panel: under the window, at its left, its plot and curve
// side by side at the plot's size; in the touch layout, in the grid under the
// plot and above the level sliders, its drawings as wide as the plot, nothing wider
// than the screen. Both editions, opened from the address.
for (const file of ['index.html', 'lite.html']) {
  test(`${file}: the stereo pair's panel under the window, and in the touch layout under the plot`, async () => {
    const place = () => {
      const box = (id) => { const r = document.getElementById(id).getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom].map(Math.round); };
      const plot = document.querySelector('#gra canvas').getBoundingClientRect();
      const panel = document.getElementById('PairPanel');
      const edges = panel.getBoundingClientRect();
      // The panel's controls and drawings that reach past its sides.
      const outside = [...panel.querySelectorAll('input, button, canvas, label')].filter((e) => {
        const r = e.getBoundingClientRect();
        return r.width > 0 && (Math.round(r.left) < Math.round(edges.left) || Math.round(r.right) > Math.round(edges.right));
      }).map((e) => e.id || e.tagName);
      return { window: box('Window'), gra: box('gra'), slider1: box('Slider1'), panel: box('PairPanel'), plot: box('PairPlot'),
        curve: box('PairCurve'), plotWidth: Math.round(plot.width), inFrame: panel.parentNode.id,
        across: document.documentElement.scrollWidth, outside };
    };
    const { page, problems } = await open(browser, `${file}#omni=0&fig8=0&pair=xy&pairangle=90`, { viewport: { width: 1280, height: 800 } });
    const wide = await page.evaluate(place);
    assert.ok(wide.panel[1] >= wide.window[3], `under the window: ${wide.panel} ${wide.window}`);
    assert.equal(wide.panel[0], wide.window[0]);
    // The drawings at the plot's own size (573 by 477 and 296 CSS pixels inside their borders), side by side.
    assert.deepEqual([wide.plot[2] - wide.plot[0], wide.plot[3] - wide.plot[1], wide.curve[2] - wide.curve[0], wide.curve[3] - wide.curve[1]],
      [577, 481, 577, 300]);
    assert.equal(wide.plot[1], wide.curve[1]);
    assert.ok(wide.panel[2] <= 1280, `${wide.panel[2]} wide`);
    // The touch layout, upright: as narrow as every engine's window goes.
    const narrow = { width: 560, height: 640 };
    await page.setViewport({ ...narrow, deviceScaleFactor: 1 });
    await page.waitForFunction(() => document.getElementById('PairPanel').parentNode.id === 'OrvaneFrm', { timeout: 5000 });
    const touch = await page.evaluate(place);
    assert.ok(touch.panel[1] >= touch.gra[3] && touch.panel[3] <= touch.slider1[1], `under the plot, above the sliders: ${JSON.stringify(touch)}`);
    assert.equal(touch.plot[2] - touch.plot[0] - 4, touch.plotWidth, 'the pair\'s plot as wide as the plot');
    assert.equal(touch.curve[2] - touch.curve[0] - 4, touch.plotWidth);
    assert.ok(touch.across <= narrow.width, `${touch.across} CSS pixels across`);
    assert.deepEqual([wide.outside, touch.outside], [[], []], 'every control within the panel');
    assert.deepEqual(problems, []);
    await page.close();
    // Opened only after the page took the touch layout, the pair draws at the plot's scale too.
    const later = await open(browser, `${file}#omni=0&fig8=0`, { viewport: { ...narrow, deviceScaleFactor: 1 } });
    await press(later.page, 'gra', 'p');
    await later.page.waitForFunction(() => !document.getElementById('PairPanel').hidden, { timeout: 5000 });
    const widths = await later.page.evaluate(() => ['#gra canvas', '#PairPlot', '#PairCurve'].map((s) => document.querySelector(s).width));
    assert.ok(widths[0] < 573, `the plot at ${widths[0]} pixels across`);
    assert.deepEqual(widths, [widths[0], widths[0], widths[0]]);
    assert.deepEqual(later.problems, []);
    await later.page.close();
  });
}
