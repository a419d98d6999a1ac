// axe-core finds no violations on either page, at start, with a plot and a
// probe, and with an error shown; names and spoken values of the controls.
import test from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import { launch, open, press, lacks } from './browser.mjs';

const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const browser = await launch();
test.after(() => browser.close());

async function violations(page) {
  if (!(await page.evaluate(() => typeof axe !== 'undefined'))) await page.addScriptTag({ content: axeSource });
  const result = await page.evaluate(async () => (await axe.run(document)).violations
    .map((v) => `${v.id}: ${v.help} (${v.nodes.map((n) => n.target.join(' ')).join(', ')})`));
  return result;
}

for (const file of ['index.html', 'lite.html']) {
  test(`${file}: no axe-core violations at start, after actions and with an error shown`, async () => {
    const { page, problems } = await open(browser, file);
    assert.deepEqual(await violations(page), [], 'at start');
    await page.click('#Command3');
    if (file === 'index.html') await press(page, 'Slider3', 'ArrowRight', 30);
    await press(page, 'Slider1', 'PageDown');
    assert.deepEqual(await violations(page), [], 'after a preset, the probe and a slider');
    // The stereo pair's panel, open by its key, in each technique.
    await press(page, 'gra', 'p');
    assert.equal(await page.$eval('#PairPanel', (e) => e.hidden), false);
    assert.deepEqual(await violations(page), [], 'with the stereo pair shown, XY');
    await page.click('#PairMs');
    assert.deepEqual(await violations(page), [], 'with the stereo pair shown, M/S');
    // A browser that gives the page no sound: the error box.
    await page.evaluate(() => { window.AudioContext = window.webkitAudioContext = function () { throw new Error('no audio'); }; });
    await page.click('#ListenButton');
    assert.equal(await page.$eval('#ErrorBox', (e) => e.hidden), false);
    assert.deepEqual(await violations(page), [], 'with the error shown');
    assert.deepEqual(problems, []);
    await page.close();
  });
}

test('controls: names that hold their captions, and descriptions, in the browser\'s accessibility tree', { skip: lacks('accessibilityTree') }, async () => {
  const { page } = await open(browser, 'index.html');
  const snapshot = await page.accessibility.snapshot({ interestingOnly: true });
  const nodes = [];
  const walk = (n) => { nodes.push(n); (n.children || []).forEach(walk); };
  walk(snapshot);
  const find = (role, name) => nodes.find((n) => n.role === role && (name === undefined || n.name === name));
  // Each slider's name begins with the caption over it (what a voice-control
  // user says); what it is for is in the description.
  for (const [name, caption] of [['Omni level', 'Omni'], ['Fig 8 level', 'Fig 8'], ['Radial Position', 'Radial Position']]) {
    assert.ok(find('slider', name), name);
    assert.ok(name.startsWith(caption));
  }
  for (const name of ['Cardiod', 'Omni', 'Fig. 8', 'Super Card', 'Hyper Card']) assert.ok(find('button', name), name);
  // The layout table's descriptions say what each control is for.
  assert.match(find('button', 'Super Card').description, /^The Super Card mix: omni at slider position 30/);
  assert.match(find('slider', 'Omni level').description, /^Level of the omni component/);
  assert.match(find('slider', 'Radial Position').description, /^Direction of the probe in degrees/);
  await page.close();
});

test('controls: spoken values in dB, the plot as an image with a text alternative', async () => {
  const { page } = await open(browser, 'index.html');
  assert.equal(await page.$eval('#Slider1', (e) => e.getAttribute('aria-valuetext')), '-40.09 dB');
  const before = await page.$eval('#gra', (e) => [e.getAttribute('role'), e.getAttribute('aria-label')]);
  assert.equal(before[0], 'img');
  assert.match(before[1], /^Polar plot\. Empty/);
  await page.click('#Cardiod');
  const after = await page.$eval('#gra', (e) => e.getAttribute('aria-label'));
  assert.match(after, /^Polar plot\. Pattern: Cardioid\. Cardioid pattern/, 'the text alternative follows the pattern');
  assert.equal(await page.$eval('#Slider2', (e) => e.getAttribute('aria-valuetext')), '0 dB');
  // The stereo pair's panel: opened by its button, which says it is pressed,
  // with the focus; described in words; its drawings images with their names,
  // its sliders spoken in degrees and dB.
  await page.click('#StereoPairButton');
  assert.equal(await page.$eval('#StereoPairButton', (e) => e.getAttribute('aria-pressed')), 'true');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'PairPanel');
  assert.match(await page.$eval('#PairDescription', (e) => e.textContent), /^Stereo pair: XY, 90 degrees between the microphones\. Recording angle 177\.9 degrees/);
  assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('#PairDrawings canvas')].map((e) => [e.getAttribute('role'), e.getAttribute('aria-label')])),
    [['img', 'Left and right microphones'], ['img', 'Localisation curve']]);
  assert.equal(await page.$eval('#PairAngle', (e) => e.getAttribute('aria-valuetext')), '90 degrees');
  await page.click('#PairMs');
  assert.equal(await page.$eval('#PairSide', (e) => e.getAttribute('aria-valuetext')), '0 dB');
  // Tab reaches every control of the panel, in the order shown.
  const reached = [];
  await page.focus('#PairMs');
  for (let i = 0; i < 2; ++i) {
    await page.keyboard.press('Tab');
    reached.push(await page.evaluate(() => document.activeElement.id));
  }
  assert.deepEqual(reached, ['PairSide', 'PairBlumlein']);
  await page.close();
});

test('readouts: exact, named by caption, value and unit, read from top to bottom as the screen shows them', { skip: lacks('accessibilityTree') }, async () => {
  const { page } = await open(browser, 'index.html');
  await page.click('#Command3');
  await press(page, 'Slider3', 'ArrowRight');
  const tree = await page.accessibility.snapshot({ interestingOnly: false });
  const nodes = [];
  const walk = (n) => { nodes.push(n); (n.children || []).forEach(walk); };
  walk(tree);
  const groups = Object.fromEntries(nodes.filter((n) => n.role === 'group').map((n) => [n.name, n.description]));
  assert.deepEqual(groups, {
    'Omni -3.06126050124842 dB': 'Omni level in dB',
    'Fig 8 0 dB': 'Figure-8 level in dB',
    'Angle(deg): 1': 'Probe angle in degrees',
    'Gain (db): 4.60820021437917': 'Gain of the pattern in the probe direction, in dB, or off where it is zero',
  });
  // The texts in the order assistive technology reads them, row by row as on
  // the screen but each slider with its caption, readout and unit; the tab
  // order stays the layout table's; the announcer last.
  const texts = nodes.filter((n) => n.role === 'StaticText' || n.role === 'slider' || n.role === 'button' || n.role === 'image')
    .map((n) => (n.role === 'StaticText' ? n.name : `[${n.role} ${n.name.split('.')[0]}]`));
  assert.deepEqual(texts.slice(texts.indexOf('Brevalon')), ['Brevalon', '\u00A9', '2026 Orvane', '[image Polar plot]',
    'Omni', '[slider Omni level]', '-3.06126050124842', 'dB', 'Fig 8', '[slider Fig 8 level]', '0', 'dB',
    '[button Omni]', 'Omni', '[button Fig]', 'Fig. 8', '[button Cardiod]', 'Cardiod', '[button Super Card]', 'Super Card',
    '[button Hyper Card]', 'Hyper Card', 'Angle(deg):', '1', 'Gain (db):', '4.60820021437917', 'Radial Position',
    '[slider Radial Position]', '1 degree, gain 4.61 dB']);
  await page.close();
});
