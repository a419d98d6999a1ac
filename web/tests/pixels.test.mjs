// The canvas at ratio 1 against the desktop's plot image for the same state,
// pixel for pixel. The desktop images come from orvane-plot-dump, which drives
// the real window (Qt, offscreen) into each state.
import test from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, open, press, canvasPixels } from './browser.mjs';

// [page, desktop state (see desktop_plot.cpp), how the user reaches it on the page]
const states = [
  ['index.html', 'full', async () => {}],
  ['index.html', 'full,0,0', async (page) => page.click('#Cardiod')],
  ['index.html', 'full,30,0,45', async (page) => { await page.click('#Command3'); await press(page, 'Slider3', 'ArrowRight', 45); }],
  ['index.html', 'full,100,0,-120', async (page) => { await page.click('#Command2'); await press(page, 'Slider3', 'Home'); await press(page, 'Slider3', 'ArrowRight', 60); }],
  ['index.html', 'full,37,100', async (page) => { await press(page, 'Slider1', 'Home'); await press(page, 'Slider1', 'ArrowDown', 37); }],
  ['index.html', 'full,100,100,180', async (page) => press(page, 'Slider3', 'End')],
  ['lite.html', 'lite,50,0', async (page) => page.click('#Command4')],
  ['lite.html', 'lite,0,20', async (page) => { await page.click('#Cardiod'); await press(page, 'Slider2', 'PageDown', 2); }],
  // The datasheet view, by its key and at each range from its choice; the
  // labels come from each face's own text engine and are left out below.
  ['index.html', 'full,30,0,45,db30', async (page) => { await page.click('#Command3'); await press(page, 'Slider3', 'ArrowRight', 45); await press(page, 'gra', 'v'); }],
  ['index.html', 'full,80,10,db20', async (page) => { await press(page, 'Slider1', 'Home'); await press(page, 'Slider1', 'ArrowDown', 80); await press(page, 'Slider2', 'Home'); await press(page, 'Slider2', 'ArrowDown', 10); await range(page, '20'); }],
  ['lite.html', 'lite,0,0,db40', async (page) => { await page.click('#Cardiod'); await range(page, '40'); }],
  // Nulls in the datasheet view: the cardioid's at the rear, the ones off the
  // axis of patterns with an opposite-polarity lobe, at each range, with the
  // probe on a null and beside one.
  ['index.html', 'full,0,0,db30', async (page) => { await page.click('#Cardiod'); await press(page, 'gra', 'v'); }],
  ['index.html', 'full,0,0,180,db20', async (page) => { await page.click('#Cardiod'); await press(page, 'Slider3', 'End'); await range(page, '20'); }],
  ['index.html', 'full,30,0,db40', async (page) => { await page.click('#Command3'); await range(page, '40'); }],
  ['index.html', 'full,50,0,120,db30', async (page) => { await page.click('#Command4'); await press(page, 'Slider3', 'ArrowRight', 120); await press(page, 'gra', 'v'); }],
  ['index.html', 'full,100,0,db40', async (page) => { await page.click('#Command2'); await range(page, '40'); }],
  ['index.html', 'full,70,0,-100,db20', async (page) => { await page.click('#Command2'); await press(page, 'Slider1', 'ArrowUp', 30); await press(page, 'Slider3', 'ArrowLeft', 100); await range(page, '20'); }],
  ['lite.html', 'lite,100,0,db30', async (page) => { await page.click('#Command2'); await press(page, 'gra', 'v'); }],
  // The same nulls in the linear view.
  ['index.html', 'full,50,0,120', async (page) => { await page.click('#Command4'); await press(page, 'Slider3', 'ArrowRight', 120); }],
  ['index.html', 'full,30,0', async (page) => page.click('#Command3')],
  ['index.html', 'full,70,0,-100', async (page) => { await page.click('#Command2'); await press(page, 'Slider1', 'ArrowUp', 30); await press(page, 'Slider3', 'ArrowLeft', 100); }],
  ['index.html', 'full,0,0,180', async (page) => { await page.click('#Cardiod'); await press(page, 'Slider3', 'End'); }],
  // The stereo pair's plot and curve (their canvases), opened by its key:
  // XY and M/S, a source at the probe's angle and none, a pair wider than one
  // pattern (M/S at full side), opposite polarity (Blumlein), the datasheet
  // view, and the lite edition without a source.
  ['index.html', 'full,0,0,45,plotxy90', async (page) => { await page.click('#Cardiod'); await press(page, 'Slider3', 'ArrowRight', 45); await press(page, 'gra', 'p'); }],
  ['index.html', 'full,0,0,45,curvexy90', async (page) => { await page.click('#Cardiod'); await press(page, 'Slider3', 'ArrowRight', 45); await press(page, 'gra', 'p'); }],
  ['index.html', 'full,100,0,-60,plotxy90', async (page) => { await press(page, 'gra', 'p'); await page.click('#PairBlumlein'); await press(page, 'Slider3', 'ArrowLeft', 60); }],
  ['index.html', 'full,100,0,-60,curvexy90', async (page) => { await press(page, 'gra', 'p'); await page.click('#PairBlumlein'); await press(page, 'Slider3', 'ArrowLeft', 60); }],
  ['index.html', 'full,0,0,plotms0', async (page) => { await page.click('#Cardiod'); await press(page, 'gra', 'p'); await page.click('#PairMs'); }],
  ['index.html', 'full,30,0,curvems20', async (page) => { await page.click('#Command3'); await press(page, 'gra', 'p'); await page.click('#PairMs'); await press(page, 'PairSide', 'ArrowRight', 20); }],
  ['index.html', 'full,0,0,db30,plotxy120', async (page) => { await page.click('#Cardiod'); await press(page, 'gra', 'v'); await press(page, 'gra', 'p'); await press(page, 'PairAngle', 'ArrowRight', 30); }],
  ['lite.html', 'lite,50,0,plotms40', async (page) => { await page.click('#Command4'); await press(page, 'gra', 'p'); await page.click('#PairMs'); await press(page, 'PairSide', 'ArrowRight', 40); }],
  ['lite.html', 'lite,50,0,curvexy60', async (page) => { await page.click('#Command4'); await press(page, 'gra', 'p'); await press(page, 'PairAngle', 'ArrowLeft', 30); }],
];

async function range(page, value) {
  await page.evaluate(`(() => { const s = document.getElementById('RangeChoice'); s.value = '${value}'; s.dispatchEvent(new Event('change')); })()`);
}

// The colours the plot's lines are drawn in: a pixel of any other colour is a
// label's, drawn by the face's text engine. Each face's labels are its own, so
// a pixel of the desktop's labels is left out, and one of the page's where the
// desktop shows the background or the grid; a curve's pixel is compared
// wherever it is. The stereo pair's microphones are vermilion and blue.
const lineColours = new Set(['0,192,192', '0,255,255', '255,255,0', '255,255,255', '0,0,0', '150,0,170', '31,63,159',
  '213,94,0', '0,114,178']);
const underLabels = new Set(['0,192,192', '31,63,159']);

function readPpm(file) {
  const bytes = fs.readFileSync(file);
  const header = bytes.subarray(0, 32).toString('latin1').match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  return { width: Number(header[1]), height: Number(header[2]), rgb: bytes.subarray(header[0].length) };
}

const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-desktop-'));
execFileSync(process.env.ORVANE_PLOT_DUMP || 'orvane-plot-dump', [dir, ...states.map((s) => s[1])]);
const browser = await launch();
test.after(async () => { await browser.close(); fs.rmSync(dir, { recursive: true, force: true }); });

for (const [i, [file, state, reach]] of states.entries()) {
  test(`${file} equals the desktop's plot in state ${state}`, async () => {
    const desktop = readPpm(path.join(dir, `${i}.ppm`));
    const { page, problems } = await open(browser, file);
    await reach(page);
    const pair = /,(plot|curve)/.exec(state);
    const web = await canvasPixels(page, pair ? (pair[1] === 'plot' ? '#PairPlot' : '#PairCurve') : '#gra canvas');
    // The pair's labels ("L" and "R" in the microphones' colours, the curve's
    // scales): each face writes them with its own text engine, so the boxes
    // around them, from the page's labels, are left out.
    const boxes = pair ? (await page.evaluate((which) => OrvanePage.snapshot.pair[which].labels, pair[1]))
      .map(([x, y, text, , align, size]) => {
        const width = size * 0.65 * text.length + 4;
        const left = align === 'center' ? x - width / 2 : align === 'right' ? x - width : x;
        return [left - 2, y - size * 0.7, left + width + 2, y + size * 0.7];
      }) : [];
    const inLabel = (p) => boxes.some(([l, t, r, b]) => { const x = p % web.width, y = Math.floor(p / web.width); return x >= l && x <= r && y >= t && y <= b; });
    // The view's switch says which view the plot shows.
    assert.equal(await page.$eval('#DbButton', (e) => e.getAttribute('aria-pressed')), String(state.includes('db')));
    assert.deepEqual([web.width, web.height], [desktop.width, desktop.height]);
    let differing = 0;
    const where = [];
    let drawn = 0;
    let labels = 0;
    const datasheet = state.includes('db') && !pair;
    for (let p = 0; p < web.width * web.height; ++p) {
      const [r, g, b] = desktop.rgb.subarray(p * 3, p * 3 + 3);
      const theirs = `${r},${g},${b}`;
      if (datasheet && (!lineColours.has(theirs) ||
          (underLabels.has(theirs) && !lineColours.has(web.data.subarray(p * 4, p * 4 + 3).join(','))))) {
        ++labels;
        continue;
      }
      if (pair && inLabel(p)) {
        ++labels;
        continue;
      }
      if (r !== 0 || g !== 192 || b !== 192) ++drawn;
      if (web.data[p * 4] !== r || web.data[p * 4 + 1] !== g || web.data[p * 4 + 2] !== b || web.data[p * 4 + 3] !== 255) {
        if (++differing <= 5) where.push(`(${p % web.width}, ${Math.floor(p / web.width)}): ${theirs} on the desktop, ${web.data.subarray(p * 4, p * 4 + 3).join(',')} here`);
      }
    }
    assert.equal(differing, 0, `pixels that differ from the desktop: ${where.join('; ')}`);
    if (state.includes(',')) assert.ok(drawn > 1000, 'the state draws a plot');
    // The labels are a few words: the rest, nearly all the plot, is compared
    // (of the pair's drawings, the boxes around the words, nine tenths or more).
    assert.ok(labels < web.width * web.height / (pair ? 10 : 50), `${labels} pixels of labels`);
    if (datasheet || pair) assert.ok(labels > 100, 'the labels are drawn');
    assert.deepEqual(problems, []);
    await page.close();
  });
}
