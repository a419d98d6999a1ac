// The page on the screens students carry and the ones a class looks at: phones
// and tablets in both orientations (Chromium's mobile emulation, which lays a
// page out as a phone's browser does), a desktop browser zoomed to 400 % and
// the desktop at the window's own size. On each: every control shown and
// nothing wider than the screen, targets a finger can hit, legible text, the
// plot's size and resolution, taps and drags with the readouts the rules give,
// and the plot's pixels as the rasteriser draws them at the plot's scale. Then
// the plot kept through a turn of the phone, and the Maximise button.
// Screenshots of every screen go to build-web/screens/.
import test from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { launch, open, readState, canvasPixels, webDir, lacks } from './browser.mjs';
import { loadRules } from './module.mjs';

const rules = await loadRules();
const browser = await launch();
test.after(() => browser.close());

// A phone's or tablet's browser is Chromium's mobile emulation; a pixel ratio
// other than 1 is not to be had in every engine. Where an engine cannot, those
// screens are skipped with the reason.
const noEmulation = lacks('mobileEmulation');

const shots = path.join(webDir, 'screens');
fs.mkdirSync(shots, { recursive: true });

// width x height in CSS pixels, device pixel ratio, a phone's or tablet's
// browser (mobile + touch) or a desktop one; `touch`: the touch layout expected.
const screens = [
  { name: 'phone-portrait-360', width: 360, height: 640, dpr: 2, mobile: true, touch: true },
  { name: 'phone-portrait-390', width: 390, height: 844, dpr: 3, mobile: true, touch: true },
  { name: 'phone-landscape', width: 844, height: 390, dpr: 3, mobile: true, touch: true },
  { name: 'tablet-portrait', width: 820, height: 1180, dpr: 2, mobile: true, touch: true },
  { name: 'tablet-landscape', width: 1180, height: 820, dpr: 2, mobile: true, touch: true },
  { name: 'desktop-zoom-400', width: 320, height: 240, dpr: 4, mobile: false, touch: true },
  { name: 'desktop', width: 1280, height: 800, dpr: 1, mobile: false, touch: false },
];
const viewportOf = (s) => ({ width: s.width, height: s.height, deviceScaleFactor: s.dpr, isMobile: s.mobile, hasTouch: s.mobile });
const cannotShow = (s) => (s.mobile && noEmulation) || (s.dpr !== 1 && lacks('pixelRatio')) || false;

// The plot: the inside of `gra` is 573 x 477 logical pixels; the surface is
// 8655 x 7215 twips, centred at (W / 2, H / 2 - 500).
const INNER_WIDTH = 573;
const SURFACE = { width: 8655, height: 7215 };

// The same module run under node with the sliders at `state`, at `ratio`
// device pixels to a logical pixel: `handler` 'levels' (PreGraph) or 'probe'
// (the angle slider's handler) drawn last. Its pixels, R, G, B, A.
function expectedPlot(edition, ratio, state, handler, multiple = 1) {
  const m = rules.module;
  const point = m._malloc(2);
  m.stringToUTF8('.', point, 2);
  m._orvane_start(edition, ratio, point);
  if (multiple > 1) m._orvane_resize(ratio, multiple); // still blank: drawn afresh below
  // The sliders moved to the state, the handler asked for drawing last.
  const act = (slider, value) => JSON.parse(m.UTF8ToString(m.ccall('orvane_act', 'number', ['number', 'number', 'number', 'string'], [1, slider, value, ''])));
  let shown = act(0, state.s1);
  shown = act(1, state.s2);
  if (handler === 'probe') shown = act(2, state.s3);
  const { pixels, width, height } = shown;
  m._free(point);
  return { width, height, data: Buffer.from(m.HEAPU8.slice(pixels, pixels + width * height * 4)) };
}

function assertSamePixels(seen, expected, what) {
  assert.deepEqual([seen.width, seen.height], [expected.width, expected.height], `${what}: canvas size`);
  let differ = 0;
  for (let i = 0; i < seen.data.length; i += 4)
    if (seen.data.readUInt32LE(i) !== expected.data.readUInt32LE(i)) ++differ;
  assert.equal(differ, 0, `${what}: pixels that differ from the rasteriser's at this scale`);
}

// The black pattern's lowest point on the centre line, in canvas pixels: the
// main lobe's tip, Radius + Radius8 twips below the centre.
function lobeTip(plot) {
  const ratio = plot.width / INNER_WIDTH;
  const cx = Math.floor((SURFACE.width / 2) * ratio / 15);
  let lowest = -1;
  for (let y = 0; y < plot.height; ++y)
    for (let x = Math.max(0, cx - 4); x <= Math.min(plot.width - 1, cx + 4); ++x) {
      const i = (y * plot.width + x) * 4;
      if (plot.data[i] === 0 && plot.data[i + 1] === 0 && plot.data[i + 2] === 0) lowest = y;
    }
  return lowest;
}

// Everything the test measures of the page as it stands.
function survey(page) {
  return page.evaluate(() => {
    const box = (e) => { const r = e.getBoundingClientRect(); return { x: r.left, y: r.top + scrollY, w: r.width, h: r.height }; };
    const win = document.getElementById('Window');
    const controls = [...document.getElementById('OrvaneFrm').children].map((e) => {
      const style = getComputedStyle(e);
      return { id: e.id, box: box(e), shown: style.visibility === 'visible' && style.display !== 'none',
        whole: e.scrollWidth <= e.clientWidth + 1, kind: e.getAttribute('role') || e.tagName.toLowerCase() };
    });
    // Every element with text of its own: its font size.
    const small = [];
    for (const e of win.querySelectorAll('*')) {
      const own = [...e.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim());
      if (own && getComputedStyle(e).visibility === 'visible' && e.closest('[hidden], .visually-hidden') === null &&
          Number.parseFloat(getComputedStyle(e).fontSize) < 12)
        small.push(`${e.id || e.tagName} ${getComputedStyle(e).fontSize}`);
    }
    const canvas = document.querySelector('#gra canvas');
    const cr = canvas.getBoundingClientRect();
    const sliders = [...document.querySelectorAll('.slider')].map((s) => {
      const vertical = s.classList.contains('vertical');
      const thumb = s.querySelector('.thumb');
      return { id: s.id, length: vertical ? s.offsetHeight : s.offsetWidth,
        thumb: vertical ? thumb.offsetHeight : thumb.offsetWidth };
    });
    return {
      layout: getComputedStyle(win).getPropertyValue('--layout').trim(),
      innerWidth, innerHeight, dpr: devicePixelRatio,
      scrollWidth: document.documentElement.scrollWidth,
      controls, small, sliders,
      maximise: box(document.getElementById('Maximise')),
      gra: box(document.getElementById('gra')),
      canvas: { width: canvas.width, height: canvas.height, cssWidth: cr.width, cssHeight: cr.height },
    };
  });
}

// The pointer of a screen: a finger on a phone or a tablet, the mouse on a
// desktop (zoomed or not).
function pointerOf(page, screen) {
  if (screen.mobile) {
    return {
      tap: (x, y) => page.touchscreen.tap(x, y),
      drag: async (from, to) => {
        const finger = await page.touchscreen.touchStart(from.x, from.y);
        for (let k = 1; k <= 4; ++k) await finger.move(from.x + ((to.x - from.x) * k) / 4, from.y + ((to.y - from.y) * k) / 4);
        await finger.end();
      },
    };
  }
  return {
    tap: (x, y) => page.mouse.click(x, y),
    drag: async (from, to) => {
      await page.mouse.move(from.x, from.y);
      await page.mouse.down();
      await page.mouse.move(to.x, to.y, { steps: 4 });
      await page.mouse.up();
    },
  };
}

// The pointer on the thumb of slider `id`, moved so that the thumb's centre
// goes to `fraction` of the track (0 the start, 1 the end), and lifted.
async function dragThumb(page, pointer, id, fraction) {
  const g = await page.$eval('#' + id, (e) => {
    const r = e.getBoundingClientRect();
    const t = e.querySelector('.thumb').getBoundingClientRect();
    return { vertical: e.classList.contains('vertical'), r: { x: r.left, y: r.top, w: r.width, h: r.height },
      t: { x: t.left + t.width / 2, y: t.top + t.height / 2, w: t.width, h: t.height } };
  });
  const { r, t } = g;
  const to = g.vertical ? { x: t.x, y: r.y + t.h / 2 + fraction * (r.h - t.h) }
    : { x: r.x + t.w / 2 + fraction * (r.w - t.w), y: t.y };
  await pointer.drag(t, to);
}

// A tap in slider `id`'s channel, `fraction` along it.
async function tapChannel(page, pointer, id, fraction) {
  const r = await (await page.$('#' + id)).boundingBox();
  const vertical = r.height > r.width;
  await pointer.tap(vertical ? r.x + r.width / 2 : r.x + fraction * r.width,
    vertical ? r.y + fraction * r.height : r.y + r.height / 2);
}

async function tap(page, pointer, id) {
  await page.$eval('#' + id, (e) => e.scrollIntoView({ block: 'center' }));
  const r = await (await page.$('#' + id)).boundingBox();
  await pointer.tap(r.x + r.width / 2, r.y + r.height / 2);
}

// What the screen shows of the canvas, device pixel for device pixel (a
// screenshot, decoded in the page), against the canvas's own pixels: the
// browser must show them as they are, neither shrunk nor stretched nor blended.
async function shownAsDrawn(page) {
  await page.evaluate(() => window.scrollTo(0, 0));
  const r = await page.$eval('#gra canvas', (c) => { const b = c.getBoundingClientRect(); return { x: b.left, y: b.top, width: b.width, height: b.height }; });
  const shot = await page.screenshot({ clip: r, encoding: 'base64' });
  return page.evaluate(async (png) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + png;
    await image.decode();
    const canvas = document.querySelector('#gra canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d', { willReadFrequently: true });
    context.drawImage(image, 0, 0);
    // Where a canvas is not a whole number of CSS pixels (the layout table's
    // window at its own size), a screenshot's edge may take a device pixel
    // more or less: the rows and columns both have are compared.
    const w = Math.min(canvas.width, image.naturalWidth);
    const h = Math.min(canvas.height, image.naturalHeight);
    const seen = context.getImageData(0, 0, w, h).data;
    // The page's canvas read through a copy, as canvasPixels() does.
    const own = document.createElement('canvas');
    own.width = canvas.width;
    own.height = canvas.height;
    const ownContext = own.getContext('2d', { willReadFrequently: true });
    ownContext.drawImage(canvas, 0, 0);
    const drawn = ownContext.getImageData(0, 0, w, h).data;
    let differ = 0;
    for (let i = 0; i < drawn.length; i += 4)
      if (seen[i] !== drawn[i] || seen[i + 1] !== drawn[i + 1] || seen[i + 2] !== drawn[i + 2]) ++differ;
    return { shot: [image.naturalWidth, image.naturalHeight], canvas: [canvas.width, canvas.height], differ };
  }, shot);
}

const levelsOf = (s1, s2) => ({ dbomni: rules.readoutText(s1), dbfig8: rules.readoutText(s2) });

for (const [file, edition] of [['index.html', 0], ['lite.html', 1]]) {
  const table = rules.layout(edition).controls;
  for (const screen of screens) {
    test(`${file}, ${screen.name} (${screen.width} x ${screen.height}, ratio ${screen.dpr}${screen.mobile ? ', mobile' : ''})`,
      { skip: cannotShow(screen) }, async () => {
        const { page, problems } = await open(browser, file, { viewport: viewportOf(screen) });
        const seen = await survey(page);
        assert.equal(seen.layout, screen.touch ? 'touch' : 'desktop', 'the arrangement');
        assert.equal(seen.innerWidth, screen.width, 'the page is laid out at the screen\'s width, not widened');

        // Every control shown, in the layout table's order, none beyond the sides.
        assert.deepEqual(seen.controls.map((c) => c.id), table.map((c) => c.name));
        for (const c of seen.controls) {
          assert.ok(c.shown && c.box.w > 0 && c.box.h > 0, `${c.id} shown`);
          assert.ok(c.box.x >= 0 && c.box.x + c.box.w <= screen.width + 0.5, `${c.id} within the screen's width: ${JSON.stringify(c.box)}`);
        }
        assert.ok(seen.scrollWidth <= screen.width, `no sideways scrolling: ${seen.scrollWidth} > ${screen.width}`);

        if (screen.touch) {
          // Targets for a finger, legible text, level sliders long enough for
          // every one of their 101 positions (2 CSS pixels or more a step).
          for (const c of seen.controls.filter((c) => c.kind === 'slider' || c.kind === 'button'))
            assert.ok(c.box.w >= 44 && c.box.h >= 44, `${c.id} is ${c.box.w} x ${c.box.h}, under 44 x 44`);
          assert.ok(seen.maximise.w >= 44 && seen.maximise.h >= 44, 'Maximise 44 x 44');
          assert.deepEqual(seen.small, [], 'text under 12 CSS pixels');
          for (const s of seen.sliders.filter((s) => s.id !== 'Slider3'))
            assert.ok((s.length - s.thumb) / 100 >= 2, `${s.id}: ${s.length - s.thumb} px for 100 steps`);
          // The plot first: as wide as the screen standing, as tall as it lying.
          const portrait = screen.width < 600 || screen.height > screen.width;
          if (portrait) {
            // The width the page has: the screen's, less a scroll bar where the
            // browser shows one beside the page (Firefox on a desktop).
            const across = await page.evaluate(() => document.documentElement.clientWidth);
            assert.ok(seen.gra.w >= across - 16, `plot ${seen.gra.w} wide on a ${screen.width} screen, ${across} for the page`);
            assert.ok(seen.controls.every((c) => c.id === 'gra' || c.box.y >= seen.gra.y + seen.gra.h), 'the plot above the rest');
          } else {
            assert.ok(seen.gra.y + seen.gra.h <= screen.height, 'the plot within the screen\'s height');
            const room = Math.min(screen.height - 65, (screen.width - 330) / 1.2);
            assert.ok(seen.gra.h >= room - 2, `plot ${seen.gra.h} high, room for ${room}`);
            assert.ok(seen.controls.every((c) => c.id === 'gra' || c.box.x >= seen.gra.x + seen.gra.w), 'the plot left of the rest');
          }
        } else {
          for (const [i, c] of table.entries()) {
            const box = seen.controls[i].box;
            assert.deepEqual([box.w, box.h], [c.width / 15, c.height / 15], `${c.name}: the layout table's size`);
          }
        }

        // The canvas at the screen's resolution: CSS size times the ratio.
        const inside = screen.touch ? seen.gra.w - 4 : INNER_WIDTH;
        const whole = screen.touch ? screen.dpr : 1;
        assert.equal(seen.canvas.width, Math.floor(inside) * screen.dpr, 'canvas pixels across');
        assert.ok(Number.isInteger(seen.canvas.width / whole) && Number.isInteger(seen.canvas.height / whole), 'whole CSS pixels');
        assert.ok(Math.round(seen.canvas.cssWidth * screen.dpr) === seen.canvas.width &&
          Math.round(seen.canvas.cssHeight * screen.dpr) === seen.canvas.height,
        `canvas ${seen.canvas.width} x ${seen.canvas.height} shown at ${seen.canvas.cssWidth} x ${seen.canvas.cssHeight} CSS pixels`);
        const blank = await canvasPixels(page);
        assert.ok(blank.data.every((b, i) => b === [0, 192, 192, 255][i % 4]), 'nothing drawn before the first action');

        // By touch (the mouse on a desktop): a preset, a level slider dragged
        // to its end, a channel press, the probe.
        const pointer = pointerOf(page, screen);
        await tap(page, pointer, 'Command3'); // "Super Card"
        assert.deepEqual(await readState(page).then((s) => [s.s1, s.s2, s.dbomni, s.dbfig8]), [30, 0, ...Object.values(levelsOf(30, 0))]);
        await page.$eval('#Slider1', (e) => e.scrollIntoView({ block: 'center' }));
        await dragThumb(page, pointer, 'Slider1', 0);
        assert.deepEqual(await readState(page).then((s) => [s.s1, s.dbomni]), [0, rules.readoutText(0)], 'Slider1 dragged to its top');
        await tapChannel(page, pointer, 'Slider2', 0.9);
        assert.deepEqual(await readState(page).then((s) => [s.s2, s.dbfig8]), [10, rules.readoutText(10)], 'a tap below the thumb steps a page');
        let handler = 'levels';
        if (edition === 0) {
          await page.$eval('#Slider3', (e) => e.scrollIntoView({ block: 'center' }));
          await dragThumb(page, pointer, 'Slider3', (45 + 180) / 360);
          // A pointer's position is whole CSS pixels: 3 degrees a pixel on the
          // layout table's slider.
          const s = await readState(page);
          assert.ok(Math.abs(s.s3 - 45) <= (screen.touch ? 1 : 3), `the probe at ${s.s3}`);
          assert.deepEqual([s.LblAngle, s.LblGain], [String(s.s3), rules.probeText(0, 10, s.s3)], 'the probe set by touch');
          handler = 'probe';
        }
        const state = await readState(page);
        const readouts = await page.evaluate(() => ['dbomni', 'dbfig8', 'LblAngle', 'LblGain'].map((id) => document.getElementById(id))
          .filter(Boolean).map((e) => [e.id, e.scrollWidth <= e.clientWidth + 1]));
        if (screen.touch) for (const [id, whole] of readouts) assert.ok(whole, `${id} shown whole`);

        // The pattern where the rules put it, at the plot's scale.
        const plot = await canvasPixels(page);
        const ratio = plot.width / INNER_WIDTH;
        assertSamePixels(plot, expectedPlot(edition, screen.touch ? ratio : screen.dpr, state, handler, whole), screen.name);
        const tip = ((SURFACE.height / 2 - 500 + (100 - state.s1) * 20 + (100 - state.s2) * 20) * ratio) / 15;
        assert.ok(Math.abs(lobeTip(plot) - tip) <= Math.max(1, Math.round(ratio)) + 1, `lobe tip at ${lobeTip(plot)}, the rules put it at ${tip}`);

        const shown = await shownAsDrawn(page);
        assert.ok(Math.abs(shown.shot[0] - shown.canvas[0]) <= 1 && Math.abs(shown.shot[1] - shown.canvas[1]) <= 1,
          `a screenshot of ${shown.shot} device pixels of a canvas of ${shown.canvas}`);
        assert.equal(shown.differ, 0, 'pixels on the screen that are not the canvas\'s');

        // A hardware keyboard as on the desktop: Up lowers the value.
        await page.focus('#Slider2');
        await page.keyboard.press('ArrowUp');
        assert.deepEqual(await readState(page).then((s) => [s.s2, s.dbfig8]), [9, rules.readoutText(9)]);

        await page.evaluate(() => window.scrollTo(0, 0));
        await page.screenshot({ path: path.join(shots, `${file.replace('.html', '')}-${screen.name}.png`), fullPage: true });
        assert.deepEqual(problems, []);
        await page.close();
      });
  }
}

// A finger (the mouse on a desktop) on a control whose top the page has
// scrolled off the screen: the control takes the focus, the page stays where
// it is, and the thumb follows the finger to the end of its track. Every
// slider and button, on every screen where the page scrolls far enough to
// hide part of it; and on a desktop lower than the window, in the layout
// table's arrangement.
const shortDesktop = { name: 'desktop-short', width: 900, height: 400, dpr: 1, mobile: false, touch: false };
for (const [file, edition] of [['index.html', 0], ['lite.html', 1]]) {
  for (const screen of [...screens, shortDesktop]) {
    test(`${file}, ${screen.name}: a press on a control scrolled half off the screen moves no page`,
      { skip: cannotShow(screen) }, async (t) => {
        const { page, problems } = await open(browser, file, { viewport: viewportOf(screen) });
        const pointer = pointerOf(page, screen);
        const sliders = ['Slider1', 'Slider2', ...(edition === 0 ? ['Slider3'] : [])];
        const buttons = await page.evaluate(() => [...document.querySelectorAll('#OrvaneFrm button, #ListenButton, #ProbeSoundSwitch')].map((b) => b.id));
        const checked = [];
        for (const id of [...sliders, ...buttons]) {
          const slider = sliders.includes(id);
          if (slider) {
            // The thumb in the middle of the track, so that a part at either
            // end can be scrolled away with the thumb still on the screen.
            await page.$eval('#' + id, (e) => e.scrollIntoView({ block: 'center' }));
            await dragThumb(page, pointer, id, 0.5);
          }
          const g = await page.$eval('#' + id, (e) => {
            const r = e.getBoundingClientRect();
            return { top: r.top + scrollY, h: r.height, vertical: e.classList.contains('vertical'),
              min: Number(e.getAttribute('aria-valuemin')), max: Number(e.getAttribute('aria-valuemax')), view: innerHeight };
          });
          // Part of the control above the top of the screen, or else (a control
          // near the end of the page) below its bottom, the thumb still on it.
          const hidden = Math.ceil(g.vertical ? g.h / 4 : g.h / 3);
          let edge = null;
          let scrolled = 0;
          for (const [side, y] of [['top', g.top + hidden], ['bottom', g.top + g.h - hidden - g.view]]) {
            if (y < 1) continue;
            // Scrolled there with the focus elsewhere: a control that has the
            // focus already is not scrolled to again.
            scrolled = await page.evaluate((to) => {
              document.activeElement.blur();
              window.scrollTo(0, to);
              return scrollY;
            }, y);
            if (Math.abs(scrolled - y) <= 1) { edge = side; break; }
          }
          if (!edge) continue; // the page does not scroll far enough here
          const box = await page.$eval('#' + id, (e) => {
            const r = e.getBoundingClientRect();
            const thumb = e.querySelector('.thumb');
            const tr = thumb ? thumb.getBoundingClientRect() : r;
            const shown = { top: Math.max(r.top, 0), bottom: Math.min(r.bottom, innerHeight) };
            return { x: r.left, y: r.top, w: r.width, h: r.height, tx: tr.left + tr.width / 2,
              ty: Math.min(Math.max(tr.top + tr.height / 2, 2), innerHeight - 2), cy: (shown.top + shown.bottom) / 2,
              vw: innerWidth, vh: innerHeight };
          });
          // A vertical slider is dragged past the end that is on the screen.
          const toStart = g.vertical && edge === 'bottom';
          if (slider) {
            // Past the end of the track, as a finger that overshoots.
            const to = !g.vertical ? { x: Math.min(box.x + box.w + 20, box.vw - 2), y: box.ty }
              : { x: box.tx, y: toStart ? Math.max(box.y - 20, 2) : Math.min(box.y + box.h + 20, box.vh - 2) };
            await pointer.drag({ x: box.tx, y: box.ty }, to);
          } else {
            await pointer.tap(box.x + box.w / 2, box.cy);
          }
          const after = await page.evaluate(() => ({ y: scrollY, focus: document.activeElement && document.activeElement.id }));
          assert.equal(after.y, scrolled, `${id}, its ${edge} off the screen: the page moved by ${scrolled - after.y} px at the press`);
          assert.equal(after.focus, id, `${id} takes the focus`);
          if (slider) {
            assert.equal(await page.$eval('#' + id, (e) => Number(e.getAttribute('aria-valuenow'))), toStart ? g.min : g.max,
              `${id} dragged past its ${toStart ? 'start' : 'end'}`);
          }
          checked.push(`${id} (${edge})`);
        }
        if (checked.length === 0) t.skip('the page does not scroll on this screen');
        else t.diagnostic(`checked: ${checked.join(', ')}`);
        // The phone lying down, where the fault was found, scrolls far enough
        // to hide part of every slider of the full edition.
        if (screen.name === 'phone-landscape' && edition === 0)
          for (const id of sliders) assert.ok(checked.some((c) => c.startsWith(id + ' ')), `${id} not checked: ${checked}`);
        assert.deepEqual(problems, []);
        await page.close();
      });
  }
}

// The datasheet view's labels as the page writes them on the plot's canvas,
// in its last picture: [{ text, css (size in CSS pixels), box (the ink's, in
// CSS pixels) }]. The page's writing is watched from before it starts.
const watchLabels = (page) => page.evaluateOnNewDocument(() => {
  window.plotLabels = [];
  const plot = (canvas) => canvas.parentElement && canvas.parentElement.id === 'gra' && canvas.id !== 'PrintPlot';
  const context = CanvasRenderingContext2D.prototype;
  const put = context.putImageData;
  context.putImageData = function (...args) {
    if (plot(this.canvas) && args.length === 3) window.plotLabels = []; // a new picture
    return put.apply(this, args);
  };
  const fill = context.fillText;
  context.fillText = function (text, x, y) {
    if (plot(this.canvas)) {
      const scale = this.canvas.getBoundingClientRect().width / this.canvas.width;
      const m = this.measureText(text);
      window.plotLabels.push({ text, css: Number.parseFloat(this.font) * scale,
        box: [x - m.actualBoundingBoxLeft, y - m.actualBoundingBoxAscent, x + m.actualBoundingBoxRight,
          y + m.actualBoundingBoxDescent].map((v) => v * scale) });
    }
    return fill.apply(this, arguments);
  };
});

// On phones and tablets the datasheet view's labels and legend are at least
// 12 CSS pixels, as the rest of the page's text; where the rings lie too close
// for that, every other ring's number is written (and a spoke's under the
// legend may go), and no label is written over another.
for (const screen of screens.filter((s) => s.touch)) {
  test(`the datasheet view's labels on the ${screen.name} (${screen.width} x ${screen.height}, ratio ${screen.dpr}): 12 CSS pixels or more, none over another`,
    { skip: cannotShow(screen) || lacks('preload') }, async () => {
      // Supercardioid, its legend's two lines; each range.
      for (const range of [40, 30, 20]) {
        const { page, problems } = await open(browser, `index.html#omni=30&fig8=0&view=db&range=${range}`,
          { viewport: viewportOf(screen), beforeLoad: watchLabels });
        const labels = await page.evaluate(() => window.plotLabels);
        const texts = labels.map((l) => l.text);
        for (const l of labels) assert.ok(l.css >= 12 - 1e-9, `${range} dB: "${l.text}" is ${l.css} CSS pixels`);
        assert.ok(texts.includes('opposite polarity') && texts.some((t) => t.startsWith('0 dB = front')), `${range} dB: the legend: ${texts}`);
        for (const [i, a] of labels.entries()) {
          for (const b of labels.slice(i + 1))
            assert.ok(!(a.box[0] < b.box[2] && b.box[0] < a.box[2] && a.box[1] < b.box[3] && b.box[1] < a.box[3]),
              `${range} dB: "${a.text}" over "${b.text}"`);
        }
        // Every ring's number at 20 dB, every other one's at least at 30 and 40
        // (-30 is a spoke's as well).
        const rings = [];
        for (let level = -5; level > -range; level -= 5) if (level !== -30) rings.push(String(level));
        const wanted = range === 20 ? rings : rings.filter((r) => Number(r) % 10 === 0);
        assert.deepEqual(wanted.filter((r) => !texts.includes(r)), [], `${range} dB: rings' numbers missing: ${texts}`);
        assert.deepEqual(problems, []);
        if (range === 40) await page.screenshot({ path: path.join(shots, `datasheet-${screen.name}.png`) });
        await page.close();
      }
    });
}

test('a phone turned with the probe set keeps the same picture at the new size; a blank plot stays blank',
  { skip: noEmulation }, async () => {
    const portrait = screens.find((s) => s.name === 'phone-portrait-390');
    const landscape = screens.find((s) => s.name === 'phone-landscape');
    const { page, problems } = await open(browser, 'index.html', { viewport: viewportOf(portrait) });
    const width = await page.$eval('#gra canvas', (c) => c.width);
    await page.setViewport(viewportOf(landscape));
    await page.waitForFunction((w) => document.querySelector('#gra canvas').width !== w, {}, width);
    const blank = await canvasPixels(page);
    assert.ok(blank.data.every((b, i) => b === [0, 192, 192, 255][i % 4]), 'still blank');
    await page.setViewport(viewportOf(portrait));
    await tap(page, pointerOf(page, portrait), 'Cardiod');
    await page.focus('#Slider3');
    for (let i = 0; i < 30; ++i) await page.keyboard.press('ArrowLeft');
    const before = await canvasPixels(page);
    await page.setViewport(viewportOf(landscape));
    await page.waitForFunction((w) => document.querySelector('#gra canvas').width !== w, {}, before.width);
    const after = await canvasPixels(page);
    const state = await readState(page);
    assert.equal(state.s3, -30);
    assertSamePixels(after, expectedPlot(0, after.width / INNER_WIDTH, state, 'probe', landscape.dpr), 'turned');
    assert.deepEqual(problems, []);
    await page.close();
  });

// The Maximise button: the window as large as the screen allows and the plot
// drawn afresh at that size; the button again, or Escape, goes back.
const maximiseCases = [
  { screen: screens.find((s) => s.name === 'desktop'), leave: 'button' },
  { screen: { name: 'projector', width: 1920, height: 1080, dpr: 1, mobile: false, touch: false }, leave: 'Escape' },
  { screen: { name: 'hi-dpi', width: 1440, height: 900, dpr: 2, mobile: false, touch: false }, leave: 'button' },
  { screen: screens.find((s) => s.name === 'tablet-landscape'), leave: 'button' },
];
for (const { screen, leave } of maximiseCases) {
  test(`Maximise on the ${screen.name} (${screen.width} x ${screen.height}, ratio ${screen.dpr}), back by ${leave}`,
    { skip: cannotShow(screen) }, async () => {
      const { page, problems } = await open(browser, 'index.html', { viewport: viewportOf(screen) });
      await page.click('#Cardiod');
      const normal = await survey(page);
      await page.click('#Maximise');
      await page.waitForFunction(() => document.documentElement.classList.contains('maximised'));
      // The full screen settles: the viewport may grow once more (WebKit's
      // window takes the whole display), and the window and its plot follow
      // it. Settled: the window meets the viewport, the canvas is drawn at the
      // size it is shown, and neither has changed for three frames.
      await page.waitForFunction(() => {
        const r = document.getElementById('Window').getBoundingClientRect();
        const c = document.querySelector('#gra canvas');
        const cr = c.getBoundingClientRect();
        const fits = (Math.abs(r.width - innerWidth) < 1 || Math.abs(r.height - innerHeight) < 1) &&
          Math.round(cr.width * devicePixelRatio) === c.width && Math.round(cr.height * devicePixelRatio) === c.height;
        const key = [innerWidth, innerHeight, r.width, r.height, c.width, c.height].join();
        const same = fits && window.settledKey === key;
        window.settledFrames = same ? window.settledFrames + 1 : 0;
        window.settledKey = key;
        return window.settledFrames >= 3;
      }, { polling: 'raf' });
      const seen = await page.evaluate(() => {
        const r = document.getElementById('Window').getBoundingClientRect();
        const c = document.querySelector('#gra canvas');
        const cr = c.getBoundingClientRect();
        return { win: [r.left, r.top, r.width, r.height], view: [innerWidth, innerHeight], pressed: document.getElementById('Maximise').getAttribute('aria-pressed'),
          fullScreen: [document.fullscreenEnabled, document.fullscreenElement === document.documentElement],
          canvas: [c.width, c.height, cr.width * devicePixelRatio, cr.height * devicePixelRatio] };
      });
      assert.equal(seen.pressed, 'true');
      assert.equal(seen.fullScreen[1], seen.fullScreen[0], 'the full screen taken where the browser allows it');
      const [x, y, w, h] = seen.win;
      const [vw, vh] = seen.view;
      if (screen.touch) {
        // The touch layout flows into the whole screen, as wide as it.
        assert.ok(x === 0 && Math.abs(w - vw) < 1, `window ${seen.win} as wide as ${seen.view}`);
      } else {
        // The layout table's window scaled up until it meets two sides.
        assert.ok(x >= 0 && y >= 0 && x + w <= vw + 0.5 && y + h <= vh + 0.5, `window ${seen.win} within ${seen.view}`);
        assert.ok(Math.abs(w - vw) < 1 || Math.abs(h - vh) < 1, `window ${seen.win} fills ${seen.view}`);
        assert.ok(w > 722, 'larger than the window');
      }
      const [cw, ch, shownW, shownH] = seen.canvas;
      assert.ok(Math.round(shownW) === cw && Math.round(shownH) === ch, `canvas ${cw} x ${ch} shown at ${shownW} x ${shownH} device pixels`);
      assert.ok(cw >= normal.canvas.width, 'as large as before or larger');
      const state = await readState(page);
      const whole = screen.touch ? screen.dpr : 1;
      assertSamePixels(await canvasPixels(page), expectedPlot(0, cw / INNER_WIDTH, state, 'levels', whole), 'maximised');
      await page.screenshot({ path: path.join(shots, `index-maximised-${screen.name}.png`) });

      // Still driven as before: a preset.
      await page.click('#Command3');
      assert.equal((await readState(page)).s1, 30);
      if (leave === 'Escape') await page.keyboard.press('Escape');
      else await page.click('#Maximise');
      await page.waitForFunction(() => !document.documentElement.classList.contains('maximised') && !document.fullscreenElement);
      // Back when the plot is drawn at its former size again.
      await page.waitForFunction((w, h) => {
        const c = document.querySelector('#gra canvas');
        return c.width === w && c.height === h;
      }, {}, normal.canvas.width, normal.canvas.height);
      const back = await survey(page);
      assert.deepEqual([back.canvas.width, back.canvas.height, back.gra.w], [normal.canvas.width, normal.canvas.height, normal.gra.w]);
      assert.equal(await page.$eval('#Maximise', (e) => e.getAttribute('aria-pressed')), 'false');
      assertSamePixels(await canvasPixels(page), expectedPlot(0, back.canvas.width / INNER_WIDTH, await readState(page), 'levels', whole), 'back');
      assert.deepEqual(problems, []);
      await page.close();
    });
}
