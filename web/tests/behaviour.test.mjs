// The page behaves as the desktop window, handler for handler: the start state,
// the keys on each slider, every preset, the probe, mouse and touch, the
// announcements, the decimal separator, and errors.
import test from 'node:test';
import assert from 'node:assert/strict';
import { launch, open, press, readState, canvasPixels, lacks } from './browser.mjs';
import { loadRules } from './module.mjs';

const rules = await loadRules();
const browser = await launch();
test.after(() => browser.close());

const start = '-40.0864274753527';

test('start: load handler readouts, sliders at their start, blank plot, nothing fetched', async () => {
  const { page, problems, requests, url } = await open(browser, 'index.html');
  assert.deepEqual(await readState(page), { s1: 100, s2: 100, s3: 0, dbomni: start, dbfig8: start, LblAngle: '', LblGain: '' });
  const { data } = await canvasPixels(page);
  let other = 0;
  for (let i = 0; i < data.length; i += 4) if (data[i] !== 0 || data[i + 1] !== 192 || data[i + 2] !== 192) ++other;
  assert.equal(other, 0, 'pixels other than the background');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'gra');
  assert.deepEqual(requests.filter((r) => r !== url && !r.startsWith('data:')), []);
  assert.deepEqual(await page.cookies(), []);
  assert.equal(await page.evaluate(() => localStorage.length + sessionStorage.length), 0);
  assert.deepEqual(problems, []);
  await page.close();
});

test('no console message and no page error while either page loads', { skip: lacks('loadConsole') }, async () => {
  for (const file of ['index.html', 'lite.html']) {
    const { page, problems, requests, url } = await open(browser, file);
    assert.deepEqual(problems, [], file);
    assert.ok(requests.includes(url), `${file}: the page's own request is seen`);
    await page.close();
  }
});

test('keys on each slider: steps 1 and 10, Up lowers a level slider, ends', async () => {
  const { page, problems } = await open(browser, 'index.html');
  // [slider, key, value after it]
  const level = (id) => [[id, 'ArrowUp', 99], [id, 'PageUp', 89], [id, 'ArrowDown', 90], [id, 'ArrowRight', 89],
    [id, 'ArrowLeft', 90], [id, 'PageDown', 100], [id, 'PageDown', 100], [id, 'Home', 0], [id, 'ArrowUp', 0],
    [id, 'End', 100]];
  const table = [...level('Slider1'), ...level('Slider2'),
    ['Slider3', 'ArrowRight', 1], ['Slider3', 'ArrowUp', 2], ['Slider3', 'PageUp', 3], ['Slider3', 'PageDown', 2],
    ['Slider3', 'ArrowLeft', 1], ['Slider3', 'ArrowDown', 0], ['Slider3', 'Home', -180], ['Slider3', 'ArrowLeft', -180],
    ['Slider3', 'End', 180]];
  for (const [id, key, expected] of table) {
    await press(page, id, key);
    const s = await readState(page);
    const value = { Slider1: s.s1, Slider2: s.s2, Slider3: s.s3 }[id];
    assert.equal(value, expected, `${id} after ${key}`);
    assert.equal(s.dbomni, rules.readoutText(s.s1));
    assert.equal(s.dbfig8, rules.readoutText(s.s2));
    if (id === 'Slider3') {
      assert.equal(s.LblAngle, String(s.s3));
      assert.equal(s.LblGain, rules.probeText(s.s1, s.s2, s.s3));
    }
  }
  assert.deepEqual(problems, []);
  await page.close();
});

test('every preset sets both sliders and the readouts; the probe readouts stay', async () => {
  const { page, problems } = await open(browser, 'index.html');
  await press(page, 'Slider3', 'ArrowRight', 45);
  const probe = await readState(page);
  assert.deepEqual([probe.LblAngle, probe.LblGain], ['45', 'off']);
  const presets = [
    ['Cardiod', 0, 0, '0', '0'], ['Command1', 0, 100, '0', start], ['Command2', 100, 0, start, '0'],
    ['Command3', 30, 0, '-3.06126050124842', '0'], ['Command4', 50, 0, '-5.93502395364968', '0'],
  ];
  for (const [id, s1, s2, dbomni, dbfig8] of presets) {
    await page.click('#' + id);
    assert.deepEqual(await readState(page), { s1, s2, s3: 45, dbomni, dbfig8, LblAngle: '45', LblGain: 'off' }, id);
  }
  // The probe after a preset reads the preset's pattern.
  await press(page, 'Slider3', 'ArrowRight');
  assert.equal((await readState(page)).LblGain, rules.probeText(50, 0, 46));
  assert.deepEqual(problems, []);
  await page.close();
});

test('mouse and touch: channel presses step a page, the thumb drags, the wheel steps', async () => {
  const { page, problems } = await open(browser, 'index.html');
  const box = async (id) => (await page.$('#' + id)).boundingBox();
  const s1 = await box('Slider1');
  await page.mouse.click(s1.x + 8, s1.y + 20); // above the thumb, which is at the bottom
  assert.equal((await readState(page)).s1, 90);
  const s2 = await box('Slider2');
  await page.touchscreen.tap(s2.x + 8, s2.y + 20);
  assert.equal((await readState(page)).s2, 90);
  // Drag Slider2's thumb (now at 90) to the top.
  const thumbY = s2.y + 5 + Math.round(0.9 * (s2.height - 11));
  await page.mouse.move(s2.x + 8, thumbY);
  await page.mouse.down();
  await page.mouse.move(s2.x + 8, s2.y - 30, { steps: 8 });
  await page.mouse.up();
  const s = await readState(page);
  assert.equal(s.s2, 0);
  assert.deepEqual([s.dbomni, s.dbfig8], [rules.readoutText(90), '0']);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'Slider2');
  // The wheel: up raises a level (three steps a notch) and turns the probe by one.
  await page.mouse.move(s1.x + 8, s1.y + 40);
  await page.mouse.wheel({ deltaY: -100 });
  await page.waitForFunction(() => document.getElementById('Slider1').getAttribute('aria-valuenow') === '87');
  const s3 = await box('Slider3');
  await page.mouse.move(s3.x + 20, s3.y + 12);
  await page.mouse.wheel({ deltaY: 100 });
  await page.waitForFunction(() => document.getElementById('Slider3').getAttribute('aria-valuenow') === '-1');
  assert.deepEqual((await readState(page)).LblGain, rules.probeText(87, 0, -1));
  assert.deepEqual(problems, []);
  await page.close();
});

test('one announcement and one call into the module per action, in the desktop\'s words, through the one live region', async () => {
  const { page, problems } = await open(browser, 'index.html');
  // Every call into the module, with the input event it was made in: the
  // page takes what an action shows from that action's one call. A call in
  // no event is the printed copy of the plot, redrawn once the moves stop.
  await page.evaluate(() => {
    window.calls = [];
    const module = window.OrvanePage.module;
    // An export replaces itself on its first call: the wrapper stays in front.
    for (const name of Object.keys(module).filter((key) => key.startsWith('_orvane_'))) {
      let call = module[name];
      const counted = (...args) => { window.calls.push([name, window.event]); return call(...args); };
      Object.defineProperty(module, name, { get: () => counted, set: (f) => { call = f; } });
    }
  });
  // [[event, the calls it made], ...], and the calls made in no event.
  const calls = () => page.evaluate(() => {
    const inEvents = new Map();
    const outside = [];
    for (const [name, event] of window.calls.splice(0)) {
      if (!event) outside.push(name);
      else inEvents.set(event, [...(inEvents.get(event) || [event.type]), name]);
    }
    return { inEvents: [...inEvents.values()], outside: [...new Set(outside)] };
  });
  const oneCall = async (name, events, what) => {
    const { inEvents, outside } = await calls();
    assert.deepEqual(inEvents, events.map((type) => [type, name]), `${what}: the calls of each event`);
    assert.deepEqual(outside.filter((n) => n !== '_orvane_figure'), [], `${what}: calls in no event`);
  };
  // No live region but the announcer; the readouts are no longer any.
  assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('[aria-live], [role=status], [role=alert], [role=log], output')]
    .map((e) => [e.id, e.getAttribute('aria-live'), e.getAttribute('aria-atomic')])), [['Announcer', 'polite', 'true']]);
  await page.evaluate(() => {
    window.announced = [];
    const announcer = document.getElementById('Announcer');
    new MutationObserver(() => window.announced.push(announcer.textContent))
      .observe(announcer, { childList: true, characterData: true, subtree: true });
  });
  const announced = () => page.evaluate(() => window.announced.splice(0));
  const valueText = (id) => page.$eval('#' + id, (e) => e.getAttribute('aria-valuetext'));
  // [what the user does, what the announcer says (once), the sliders' spoken values after it]
  const steps = [
    [() => page.click('#Command3'), ['Super Card: omni -3.06 dB, figure-8 0 dB'], ['-3.06 dB', '0 dB', '0 degrees']],
    // The same again is heard again.
    [() => page.click('#Command3'), ['Super Card: omni -3.06 dB, figure-8 0 dB\u00A0'], ['-3.06 dB', '0 dB', '0 degrees']],
    [() => page.click('#Command4'), ['Hyper Card: omni -5.94 dB, figure-8 0 dB'], ['-5.94 dB', '0 dB', '0 degrees']],
    // A level slider is heard through its value alone.
    [() => press(page, 'Slider1', 'ArrowDown'), [], [rules.spokenLevel(51), '0 dB', '0 degrees']],
    [() => press(page, 'Slider2', 'PageDown'), [], [rules.spokenLevel(51), '-0.91 dB', '0 degrees']],
    [() => press(page, 'Slider3', 'ArrowRight'), [rules.probeAnnouncement(51, 10, 1)], [rules.spokenLevel(51), '-0.91 dB', '1 degree']],
    [() => press(page, 'Slider3', 'ArrowLeft', 2), [rules.probeAnnouncement(51, 10, 0), rules.probeAnnouncement(51, 10, -1)], [rules.spokenLevel(51), '-0.91 dB', '-1 degree']],
    [() => page.click('#Cardiod'), ['Cardioid: omni 0 dB, figure-8 0 dB'], ['0 dB', '0 dB', '-1 degree']],
    [() => press(page, 'Slider3', 'End'), ['180 degrees, gain off'], ['0 dB', '0 dB', '180 degrees']],
  ];
  for (const [i, [act, says, values]] of steps.entries()) {
    await act();
    assert.deepEqual(await announced(), says, `step ${i}`);
    assert.deepEqual([await valueText('Slider1'), await valueText('Slider2'), await valueText('Slider3')], values, `step ${i}`);
  }
  const { inEvents } = await calls();
  assert.deepEqual(inEvents.map(([type, ...names]) => `${type}: ${names.length}`), [
    ...Array(3).fill('click: 1'), ...Array(5).fill('keydown: 1'), 'click: 1', 'keydown: 1']);
  // The other actions: [what the user does, the one call it makes, the events that make it]
  for (const [act, name, events] of [
    [() => page.click('#DetailsButton'), '_orvane_act', ['click']],
    [() => page.click('#KeepButton'), '_orvane_act', ['click']],
    [() => press(page, 'Slider1', 'ArrowDown'), '_orvane_act', ['keydown']], // the open panel follows
    [() => page.click('#ClearKeptButton'), '_orvane_act', ['click']],
    [() => page.click('#DbButton'), '_orvane_act', ['click']],
    [() => press(page, 'gra', 'v'), '_orvane_act', ['keydown']],
    // The stereo pair's panel: its key, its controls, its button.
    [() => press(page, 'gra', 'p'), '_orvane_act', ['keydown']],
    [() => press(page, 'PairAngle', 'ArrowRight'), '_orvane_act', ['input']],
    [() => page.click('#PairMs'), '_orvane_act', ['change']],
    [() => press(page, 'PairSide', 'ArrowRight'), '_orvane_act', ['input']],
    [() => page.click('#PairBlumlein'), '_orvane_act', ['click']],
    [() => page.click('#StereoPairButton'), '_orvane_act', ['click']],
    [() => page.click('#Cardiod'), '_orvane_act', ['click']],
    [() => press(page, 'Cardiod', 'v'), '_orvane_act', ['keydown']], // the letter after a click on a button
    [() => press(page, 'Slider1', 'v'), '_orvane_act', ['keydown']],
  ]) {
    await act();
    await oneCall(name, events, name);
  }
  await announced();
  assert.equal(rules.probeAnnouncement(51, 10, 1), '1 degree, gain 2.86 dB'); // 20 log10(0.49 + 0.9 cos 1 degree)
  // Nothing that is heard has a long number.
  assert.doesNotMatch(JSON.stringify(steps.map((s) => s[1])), /\d{5}/);
  // An action that ends in an error announces nothing: a sound the browser
  // will not play.
  await page.evaluate(() => { window.AudioContext = window.webkitAudioContext = function () { throw new Error('no audio'); }; });
  await page.click('#ListenButton');
  assert.deepEqual(await announced(), []);
  assert.equal(await page.$eval('#ErrorBox', (e) => e.hidden), false);
  // The plot describes itself.
  assert.match(await page.$eval('#gra', (e) => e.getAttribute('aria-label')), /^Polar plot\. Pattern: Cardioid\. Cardioid pattern/);
  assert.deepEqual(problems, []);
  await page.close();
});

test('the readouts use the decimal separator of the browser\'s language', async (t) => {
  const german = await launch([], { language: 'de-DE' });
  t.after(() => german.close());
  const { page, problems } = await open(german, 'index.html');
  assert.equal(await page.evaluate(() => navigator.language), 'de-DE');
  assert.equal((await readState(page)).dbomni, '-40,0864274753527');
  await page.click('#Command3');
  await press(page, 'Slider3', 'ArrowRight', 45);
  assert.equal((await readState(page)).LblGain, rules.probeText(30, 0, 45).replace('.', ','));
  assert.deepEqual(problems, []);
  await page.close();
});

test('an error that ends an action is shown in the user\'s words, and the page goes on', async () => {
  const { page } = await open(browser, 'index.html');
  await page.click('#Command3');
  // A browser that gives the page no sound.
  await page.evaluate(() => { window.AudioContext = window.webkitAudioContext = function () { throw new Error('no audio'); }; });
  await page.click('#ListenButton');
  assert.equal(await page.$eval('#ErrorBox', (e) => e.hidden), false);
  assert.match(await page.$eval('#ErrorText', (e) => e.textContent), /\nListen: No sound output is available in this browser\. /);
  assert.equal((await readState(page)).dbomni, '-3.06126050124842', 'what was shown before the error stays');
  await page.click('#ErrorOk');
  assert.equal(await page.$eval('#ErrorBox', (e) => e.hidden), true);
  await page.click('#Cardiod');
  assert.deepEqual([(await readState(page)).dbomni, (await readState(page)).dbfig8], ['0', '0']);
  // The probe turned with its sound on: the sound fails and turns itself off,
  // and the canvas still shows the probe where the move drew it.
  await page.click('#ProbeSoundSwitch');
  await press(page, 'Slider3', 'ArrowRight', 1);
  assert.equal(await page.$eval('#ProbeSoundSwitch', (e) => e.getAttribute('aria-checked')), 'false');
  const shown = await canvasPixels(page);
  const drawn = await page.evaluate(() => {
    const { pixels, width, height } = OrvanePage.snapshot;
    const data = OrvanePage.module.HEAPU8.subarray(pixels, pixels + width * height * 4);
    let binary = '';
    for (let i = 0; i < data.length; i += 0x8000) binary += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
    return btoa(binary);
  });
  assert.ok(shown.data.equals(Buffer.from(drawn, 'base64')), 'the canvas is the module\'s last drawing');
  await page.close();
});

test('lite.html: presets and level sliders work, no probe and no axes', async () => {
  const { page, problems } = await open(browser, 'lite.html');
  await page.click('#Cardiod');
  await press(page, 'Slider2', 'PageDown');
  assert.deepEqual(await readState(page), { s1: 0, s2: 10, s3: null, dbomni: '0', dbfig8: rules.readoutText(10), LblAngle: null, LblGain: null });
  // The horizontal axis would cross the left edge at the centre's height.
  const { data, width } = await canvasPixels(page);
  const y = Math.floor(3107.5 / 15) - 2;
  assert.deepEqual([...data.subarray((y * width + 1) * 4, (y * width + 1) * 4 + 3)], [0, 192, 192]);
  assert.deepEqual(problems, []);
  await page.close();
});

// The details panel and the comparison, as the desktop's: the figures follow
// every move; the kept pattern is drawn violet where the plot drew it, with
// its figures beside the current ones, until "Clear comparison".
test('Details shows the figures and follows the sliders; Keep compares until cleared', async () => {
  const { page, problems } = await open(browser, 'index.html');
  const cell = (key, column) => page.$eval(`#DetailsTable tr[data-key="${key}"] td.${column}`,
    (e) => (e.offsetParent ? e.textContent : '(hidden)'));
  // Shown is drawn: a [hidden] element that a style still lays out counts as shown.
  const shown = (id) => page.$eval('#' + id, (e) => e.getClientRects().length > 0);
  const coloured = ({ data, width }, r, g, b) => {
    const out = [];
    for (let i = 0; i < data.length; i += 4)
      if (data[i] === r && data[i + 1] === g && data[i + 2] === b) out.push([(i / 4) % width, Math.floor(i / 4 / width)]);
    return out;
  };

  await page.click('#DetailsButton');
  assert.equal(await page.$eval('#DetailsButton', (e) => e.getAttribute('aria-expanded')), 'true');
  assert.ok(await shown('DetailsMessage'), 'no pattern at the start');
  assert.equal(await shown('ClearKeptButton'), false, 'nothing to clear at the start');
  assert.equal(await page.$eval('#KeepButton', (e) => e.disabled), true, 'nothing to keep on the empty plot');
  const [panel, win] = await page.evaluate(() => ['DetailsPanel', 'Window'].map((id) => document.getElementById(id).getBoundingClientRect().toJSON()));
  assert.ok(panel.left >= win.right, 'beside the window');

  await page.click('#Command3'); // "Super Card"
  assert.equal(await shown('DetailsMessage'), false);
  assert.equal(await cell('null_deg', 'current'), 'plus and minus 134.4 degrees');
  // The button's mix by its name, above its equation; Keep now has a pattern.
  assert.equal(await page.$eval('#DetailsEquation', (e) => e.textContent), 'Super Card: p(\u03B8) = 0.412 + 0.588 cos \u03B8');
  assert.equal(await page.$eval('#KeepButton', (e) => e.disabled), false);
  assert.equal(await cell('directivity_index_db', 'current'), '5.45 dB');
  assert.equal(await cell('omni_share', 'kept'), '(hidden)');
  await press(page, 'Slider1', 'Home'); // the cardioid
  assert.equal(await cell('front_to_back_db', 'current'), '\u221E dB');
  assert.equal(await cell('null_deg', 'current'), '180 degrees', 'one null, one direction');
  const cardioid = coloured(await canvasPixels(page), 0, 0, 0);

  await page.click('#Command2');
  const figure8Alone = await canvasPixels(page);
  await page.click('#Cardiod');
  await press(page, 'gra', 'k');
  assert.equal(await page.$eval('#Announcer', (e) => e.textContent), 'Kept for comparison: omni 0 dB, figure-8 0 dB');
  await page.click('#Command2');
  const red = coloured(await canvasPixels(page), 150, 0, 170);
  assert.ok(red.length > 100, `${red.length} violet pixels`);
  const near = new Set(cardioid.flatMap(([x, y]) => [-2, -1, 0, 1, 2].flatMap((dx) => [-2, -1, 0, 1, 2].map((dy) => `${x + dx},${y + dy}`))));
  assert.deepEqual(red.filter(([x, y]) => !near.has(`${x},${y}`)), [], 'every dash on the cardioid as drawn');
  assert.equal(await cell('omni_share', 'current'), '0');
  assert.equal(await cell('omni_share', 'kept'), '0.500');
  assert.match(await page.$eval('#gra', (e) => e.getAttribute('aria-label')),
    /^Polar plot\. Pattern: Figure-8\. Figure-8 pattern.* Compared with the kept pattern, drawn as a dashed violet curve: omni 0 dB, figure-8 0 dB\.$/);

  await page.click('#ClearKeptButton');
  assert.equal(await page.$eval('#Announcer', (e) => e.textContent), 'Comparison cleared');
  assert.deepEqual(await canvasPixels(page), figure8Alone, 'as without a kept pattern');
  assert.equal(await shown('ClearKeptButton'), false);
  assert.equal(await cell('omni_share', 'kept'), '(hidden)');

  // Escape closes the details, then the stereo pair's panel.
  await page.click('#StereoPairButton');
  await page.keyboard.press('Escape');
  assert.equal(await shown('DetailsPanel'), false);
  assert.equal(await page.$eval('#DetailsButton', (e) => e.getAttribute('aria-expanded')), 'false');
  assert.equal(await shown('PairPanel'), true);
  await page.focus('#PairBlumlein');
  await page.keyboard.press('Escape');
  assert.equal(await shown('PairPanel'), false);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'StereoPairButton');
  assert.deepEqual(problems, []);
  await page.close();
});

// The title bar's buttons as the entries' states are after each action: the
// states the module leaves as they were (every move) are kept from before,
// and moves between the actions that change them must neither lose nor
// revive one.
test('the title bar\'s buttons follow their entries through moves and the actions that change them', async () => {
  const { page, problems } = await open(browser, 'index.html');
  const buttons = () => page.evaluate(() => {
    const db = document.getElementById('DbButton');
    return [document.getElementById('KeepButton').disabled, document.getElementById('ClearKeptButton').getClientRects().length > 0,
      db.getAttribute('aria-pressed') ?? db.getAttribute('aria-checked')];
  });
  // [what the user does, [Keep disabled, Clear comparison shown, dB pressed] after it]
  for (const [i, [act, expected]] of [
    [() => undefined, [true, false, 'false']], // nothing to keep on the empty plot
    [() => press(page, 'Slider1', 'ArrowUp'), [false, false, 'false']],
    [() => press(page, 'Slider1', 'ArrowDown'), [true, false, 'false']], // both at their lowest: nothing to keep
    [() => press(page, 'Slider1', 'ArrowDown'), [true, false, 'false']],
    [() => page.click('#Cardiod'), [false, false, 'false']],
    [() => press(page, 'gra', 'k'), [false, true, 'false']],
    [() => press(page, 'Slider2', 'ArrowDown'), [false, true, 'false']],
    [() => page.click('#DbButton'), [false, true, 'true']],
    [() => press(page, 'Slider1', 'PageDown'), [false, true, 'true']],
    [() => page.click('#ClearKeptButton'), [false, false, 'true']],
    [() => press(page, 'Slider1', 'ArrowUp'), [false, false, 'true']],
    [() => press(page, 'gra', 'v'), [false, false, 'false']],
    [() => press(page, 'Slider1', 'ArrowUp'), [false, false, 'false']],
  ].entries()) {
    await act();
    assert.deepEqual(await buttons(), expected, `step ${i}`);
  }
  assert.deepEqual(problems, []);
  await page.close();
});

test('in the touch layout the details panel opens under the plot, above the controls', async () => {
  const { page, problems } = await open(browser, 'index.html', { viewport: { width: 480, height: 700 } });
  await page.click('#Cardiod');
  await page.click('#DetailsButton');
  const [panel, gra, caption] = await page.evaluate(() => ['DetailsPanel', 'gra', 'Label1']
    .map((id) => document.getElementById(id).getBoundingClientRect().toJSON()));
  assert.ok(panel.top >= gra.bottom && panel.bottom <= caption.top, JSON.stringify({ panel, gra, caption }));
  assert.ok(panel.right <= 480, 'within the screen');
  assert.deepEqual(problems, []);
  await page.close();
});
