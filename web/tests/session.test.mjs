// A seeded random session of user events on the page: slider keys, channel
// presses and thumb drags with the mouse, taps, preset clicks. After every event
// the readouts must be what the rules (the module's own text functions) give for
// the sliders as they stand, and key presses must move the sliders as the
// desktop's do.
import test from 'node:test';
import assert from 'node:assert/strict';
import { launch, open, readState } from './browser.mjs';
import { loadRules } from './module.mjs';

const events = Number(process.env.ORVANE_SESSION_EVENTS || 2000);
const seed = Number(process.env.ORVANE_SESSION_SEED || 20261207);

// mulberry32: a small seeded generator, so that a failure can be replayed.
function random(s) {
  return () => {
    s = (s + 0x6D2B79F5) | 0;
    let t = Math.imul(s ^ (s >>> 15), 1 | s);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const rules = await loadRules();
const browser = await launch();
test.after(() => browser.close());

const presets = { Cardiod: [0, 0], Command1: [0, 100], Command2: [100, 0], Command3: [30, 0], Command4: [50, 0] };
const keys = ['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown', 'Home', 'End'];

// The value after `key` on a slider, by the desktop's rules.
function afterKey(id, value, key) {
  const [min, max, small, large] = id === 'Slider3' ? [-180, 180, 1, 1] : [0, 100, 1, 10];
  const up = id === 'Slider3' ? 1 : -1;
  const next = { ArrowUp: value + up * small, ArrowDown: value - up * small, ArrowRight: value + up * small,
    ArrowLeft: value - up * small, PageUp: value + up * large, PageDown: value - up * large, Home: min, End: max }[key];
  return Math.min(max, Math.max(min, next));
}

test(`${events} random events (seed ${seed}) keep the readouts right`, async () => {
  const { page, problems } = await open(browser, 'index.html');
  const next = random(seed);
  const pick = (list) => list[Math.floor(next() * list.length)];
  const boxes = {};
  for (const id of ['Slider1', 'Slider2', 'Slider3', ...Object.keys(presets)]) boxes[id] = await (await page.$('#' + id)).boundingBox();
  let probe = null; // the state of the last angle slider event: its readouts stay until the next
  let state = await readState(page);
  const counts = {};
  for (let i = 0; i < events; ++i) {
    const kind = pick(['key', 'key', 'key', 'preset', 'channel', 'drag', 'tap']);
    counts[kind] = (counts[kind] || 0) + 1;
    const id = kind === 'preset' ? pick(Object.keys(presets)) : pick(['Slider1', 'Slider2', 'Slider3']);
    const box = boxes[id];
    const vertical = id !== 'Slider3';
    // Drags may end past a slider's ends, but within the viewport: WebDriver
    // moves no pointer outside it.
    const inside = ([x, y]) => [Math.min(799, Math.max(0, x)), Math.min(599, Math.max(0, y))];
    const at = (f) => inside(vertical ? [box.x + 8, box.y + f * box.height] : [box.x + f * box.width, box.y + 12]);
    let expected = null;
    if (kind === 'key') {
      const key = pick(keys);
      await page.focus('#' + id);
      await page.keyboard.press(key);
      expected = afterKey(id, { Slider1: state.s1, Slider2: state.s2, Slider3: state.s3 }[id], key);
    } else if (kind === 'preset') {
      await page.click('#' + id);
    } else if (kind === 'channel') {
      await page.mouse.click(...at(next()));
    } else if (kind === 'tap') {
      await page.touchscreen.tap(...at(next()));
    } else {
      await page.mouse.move(...at(next()));
      await page.mouse.down();
      await page.mouse.move(...at(next() * 1.2 - 0.1), { steps: 3 });
      await page.mouse.up();
    }
    const before = state;
    state = await readState(page);
    const where = `event ${i} (${kind} on ${id})`;
    if (expected !== null) assert.equal({ Slider1: state.s1, Slider2: state.s2, Slider3: state.s3 }[id], expected, where);
    if (kind === 'preset') assert.deepEqual([state.s1, state.s2], presets[id], where);
    if (id === 'Slider3') {
      // Keys and moves of the thumb run the probe; a press that lands on the
      // thumb and does not move it runs nothing, so it may read either way.
      const now = [state.s1, state.s2, state.s3];
      if (kind === 'key' || state.s3 !== before.s3 || state.LblGain === rules.probeText(...now)) probe = now;
    }
    assert.equal(state.dbomni, rules.readoutText(state.s1), where);
    assert.equal(state.dbfig8, rules.readoutText(state.s2), where);
    if (probe) {
      assert.equal(state.LblAngle, String(probe[2]), where);
      assert.equal(state.LblGain, rules.probeText(...probe), where);
    }
  }
  assert.ok(Object.values(counts).every((n) => n > events / 20), JSON.stringify(counts));
  assert.deepEqual(problems, []);
  await page.close();
});
