// The page's address holds its state, a state in the address shows what the
// desktop shows for it, a bad one is named and changes nothing; the figure the
// page saves is the desktop's (`Orvane --export`), and its print carries the
// plot at the printer's resolution with the readouts and no buttons.
import test from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, open, readState, press, lacks, webDir } from './browser.mjs';
import { loadRules } from './module.mjs';

const rules = await loadRules();
const browser = await launch();
test.after(() => browser.close());
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-links-'));
test.after(() => fs.rmSync(work, { recursive: true, force: true }));
const desktop = process.env.ORVANE_DESKTOP;

// The shared table of bad state texts (tests/state_bad_inputs.tsv).
const badStates = fs.readFileSync(new URL('../../tests/state_bad_inputs.tsv', import.meta.url), 'utf8')
  .split('\n').filter((row) => row && !row.startsWith('#')).map((row) => {
    const [input, wanted] = row.split('\t');
    return [input.replace(/\\t/g, '\t').replace(/\\x([0-9a-f]{2})/gi, (_, h) => String.fromCharCode(parseInt(h, 16))), wanted];
  });

test('every bad state of the shared table is refused by the module with the desktop\'s words', () => {
  const m = rules.module;
  for (const [input, wanted] of badStates) {
    const bytes = m.lengthBytesUTF8(input) + 1;
    const at = m._malloc(bytes);
    m.stringToUTF8(input, at, bytes);
    const error = m.UTF8ToString(m._orvane_check_state(at));
    m._free(at);
    assert.ok(error.includes(wanted), `"${input}": "${error}" does not say "${wanted}"`);
  }
  assert.ok(badStates.length >= 20);
});

test('a state in the address shows the desktop\'s readouts; moves keep the address, replacing it', async () => {
  const { page, problems } = await open(browser, 'index.html#omni=30&fig8=0&angle=120');
  const shown = await readState(page);
  assert.deepEqual(shown, { s1: 30, s2: 0, s3: 120, dbomni: rules.readoutText(30), dbfig8: rules.readoutText(0),
    LblAngle: '120', LblGain: rules.probeText(30, 0, 120) });
  const before = await page.evaluate(() => history.length);
  // The address follows a moment after the moves.
  const address = (hash) => page.waitForFunction((h) => location.hash === h, { timeout: 3000 }, hash);
  await press(page, 'Slider2', 'ArrowDown', 3);
  await address('#omni=30&fig8=3');
  await page.click('#Command4');
  await address('#omni=50&fig8=0');
  await press(page, 'Slider3', 'ArrowLeft');
  await address('#omni=50&fig8=0&angle=119');
  // 300 moves at once: one replacement of the address, no refusal.
  await page.evaluate(() => { for (let i = 0; i < 300; ++i) window.OrvanePage.redraw(); });
  await address('#omni=50&fig8=0');
  assert.equal(await page.evaluate(() => history.length), before);
  assert.deepEqual(problems, []);
});

test('a bad state in the address is named in the error box; the page is as if opened without it', async () => {
  for (const [input, wanted] of [['omni=101&fig8=0', 'omni 101 is out of range: 0 to 100'],
    ['omni=<img src=x onerror=alert(1)>&fig8=0', 'omni "<img src=x onerror=alert(1)>" is not a whole number'],
    ['omni=0&fig8=0&pair=ab', 'pair "ab" is not one of xy, ms'],
    ['omni=0&fig8=0&pair=xy&pairangle=181', 'pairangle 181 is out of range: 0 to 180']]) {
    const { page } = await open(browser, 'index.html#' + input);
    const error = await page.$eval('#ErrorBox', (e) => (e.hidden ? null : document.getElementById('ErrorText').textContent));
    assert.ok(error && error.includes(wanted), `${input}: ${error}`);
    assert.equal(await page.$('#ErrorText img'), null, 'shown as text, not markup');
    const { page: fresh } = await open(browser, 'index.html');
    assert.deepEqual(await readState(page), await readState(fresh));
    assert.equal(await page.evaluate(() => location.hash), '');
  }
});

// The stereo pair in the address: shown with its controls as the address
// sets them, each move of them in the address, gone from it when hidden.
test('a pair in the address opens its panel; its controls and its button keep the address', async () => {
  const pressed = (page) => page.$eval('#StereoPairButton', (e) => e.getAttribute('aria-pressed'));
  const panel = (page) => page.evaluate(() => {
    const q = (id) => document.getElementById(id);
    return { hidden: q('PairPanel').hidden, xy: q('PairXy').checked, ms: q('PairMs').checked, angle: Number(q('PairAngle').value),
      side: Number(q('PairSide').value), readout: q('PairSideReadout').textContent };
  });
  for (const [file, hash, shown, moves] of [
    ['index.html', 'omni=0&fig8=0&angle=45&pair=xy&pairangle=60', { hidden: false, xy: true, ms: false, angle: 60, side: 0, readout: rules.readoutText(0) },
      [[(page) => press(page, 'PairAngle', 'ArrowRight'), 'omni=0&fig8=0&angle=45&pair=xy&pairangle=61'],
        [(page) => page.click('#PairMs'), 'omni=0&fig8=0&angle=45&pair=ms&side=0'],
        [(page) => press(page, 'PairSide', 'ArrowRight', 2), 'omni=0&fig8=0&angle=45&pair=ms&side=2'],
        [(page) => page.click('#PairBlumlein'), 'omni=100&fig8=0&pair=xy&pairangle=90']]],
    ['lite.html', 'omni=30&fig8=0&pair=ms&side=20', { hidden: false, xy: false, ms: true, angle: 90, side: 20, readout: rules.readoutText(20) },
      [[(page) => page.click('#PairXy'), 'omni=30&fig8=0&pair=xy&pairangle=90']]],
  ]) {
    const { page, problems } = await open(browser, `${file}#${hash}`);
    assert.deepEqual(await panel(page), shown, hash);
    assert.equal(await pressed(page), 'true');
    const address = (h) => page.waitForFunction((a) => location.hash === a, { timeout: 3000 }, '#' + h);
    for (const [move, after] of moves) {
      await move(page);
      await address(after);
    }
    await page.click('#StereoPairButton');
    await address(moves[moves.length - 1][1].replace(/&pair=.*/, ''));
    assert.equal((await panel(page)).hidden, true);
    assert.equal(await pressed(page), 'false');
    assert.deepEqual(problems, []);
    await page.close();
  }
});

test('Share copies the address and says so', async () => {
  const { page } = await open(browser, 'index.html#omni=0&fig8=0');
  await page.click('#ShareButton');
  await page.waitForFunction(() => document.getElementById('Announcer').textContent.startsWith('Link copied'), { timeout: 5000 });
});

test('the saved figure is the desktop\'s: the same SVG, and the PNG\'s plot pixel for pixel', { skip: !desktop && 'ORVANE_DESKTOP not set' }, async () => {
  for (const state of ['omni=30&fig8=0&angle=120', 'omni=73&fig8=12', 'omni=0&fig8=0&angle=180']) {
    const { page } = await open(browser, 'index.html#' + state);
    const svg = await page.evaluate(() => { const m = window.OrvanePage.module; return m.UTF8ToString(m._orvane_figure_svg(1)); });
    execFileSync(desktop, ['--state', state, '--export', path.join(work, 'd.svg')]);
    assert.equal(svg, fs.readFileSync(path.join(work, 'd.svg'), 'utf8'), state);

    // The desktop's PNG read by the browser, beside the page's own figure:
    // the plot's rows alone, the caption's text is each renderer's own.
    execFileSync(desktop, ['--state', state, '--export', path.join(work, 'd.png')]);
    const desktopPng = 'data:image/png;base64,' + fs.readFileSync(path.join(work, 'd.png')).toString('base64');
    const differing = await page.evaluate(async (url) => {
      const image = new Image();
      image.src = url;
      await image.decode();
      const figure = window.OrvanePage.figureCanvas(1);
      const rows = figure.height - 20;
      const theirs = document.createElement('canvas');
      theirs.width = image.width;
      theirs.height = image.height;
      if (image.width !== figure.width || image.height !== figure.height) return -1;
      const context = theirs.getContext('2d');
      context.drawImage(image, 0, 0);
      const a = context.getImageData(0, 0, figure.width, rows).data;
      const b = figure.getContext('2d').getImageData(0, 0, figure.width, rows).data;
      let count = 0;
      for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) ++count;
      return count;
    }, desktopPng);
    assert.equal(differing, 0, state);
  }
});

test('printed: the plot at the printer\'s resolution, the readouts, no buttons', { skip: lacks('devtools') }, async () => {
  const { page } = await open(browser, 'index.html#omni=50&fig8=0&angle=120');
  await page.waitForSelector('#PrintPlot');
  const pdf = path.join(work, 'print.pdf');
  fs.writeFileSync(pdf, await page.pdf({ printBackground: true }));
  const words = execFileSync('pdftotext', [pdf, '-'], { encoding: 'utf8' });
  // The readouts as the window shows them: their boxes show the leading digits.
  for (const readout of [rules.readoutText(50), '120', rules.probeText(50, 0, 120)])
    assert.ok(words.includes(readout.slice(0, 6)), `${readout} not printed: ${words}`);
  for (const button of ['Share', 'Save image', 'Listen', 'Hyper Card']) assert.ok(!words.includes(button), `"${button}" printed`);
  // The plot at four times its size, in place of the screen's.
  const images = execFileSync('pdfimages', ['-list', pdf], { encoding: 'utf8' });
  assert.match(images, /\b2292\s+1908\b/, images);
  assert.doesNotMatch(images, /\b573\s+477\b/, images);
});
