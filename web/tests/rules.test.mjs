// The rules compiled to WebAssembly, under node: the texts that the readouts
// show for the documented states.
import test from 'node:test';
import assert from 'node:assert/strict';
import { loadRules } from './module.mjs';

const rules = await loadRules();

test('level readouts', () => {
  const table = [
    [0, '0'], [1, '-0.0864274756522044'], [20, '-1.9167270980655'], [30, '-3.06126050124842'],
    [42, '-4.669387242775'], [50, '-5.93502395364968'], [100, '-40.0864274753527'],
  ];
  for (const [position, expected] of table)
    assert.equal(rules.readoutText(position), expected, `position ${position}`);
});

test('probe readouts for the presets at four angles', () => {
  // [s1, s2, v, gain text]
  const table = [
    [0, 0, -90, '0'], [0, 0, 0, '6.02059991323454'], [0, 0, 90, '-3.56301158903719E-09'],
    [0, 0, 180, 'off'], [0, 0, -180, 'off'],
    [0, 100, -90, '0'], [0, 100, 0, '0'], [0, 100, 90, '0'], [0, 100, 180, '0'],
    [100, 0, -90, 'off'], [100, 0, 0, '0'], [100, 0, 90, '-187.739941683131'], [100, 0, 180, '0'],
    [30, 0, -90, '-3.09803919969167'], [30, 0, 0, '4.60897842753097'],
    [30, 0, 90, '-3.09803920478168'], [30, 0, 180, '-10.4575749055284'],
    [50, 0, -90, '-6.02059991323454'], [50, 0, 0, '3.52182518108725'],
    [50, 0, 90, '-6.02059992036057'], [50, 0, -180, '-6.02059991323454'],
    // the omni component alone at -90, whatever the figure-8 level
    [1, 37, -90, '-0.0872961080483481'], [10, 0, -90, '-0.91514981120665'],
    [99, 100, -90, '-39.9999999997005'],
    // both levels at the lowest setting: off in every direction
    [100, 100, 45, 'off'],
  ];
  for (const [s1, s2, v, expected] of table)
    assert.equal(rules.probeText(s1, s2, v), expected, `s1 ${s1}, s2 ${s2}, v ${v}`);
});

test('near-nulls of the hypercardioid are large negative values, not off', () => {
  assert.match(rules.probeText(50, 0, 120), /^-187\.6\d+$/);
  assert.match(rules.probeText(50, 0, -120), /^-204\.5\d+$/);
});

test('what a listener hears after a preset and after the probe: the desktop\'s words, rounded', () => {
  const presets = ['Cardioid: omni 0 dB, figure-8 0 dB', 'Omni: omni 0 dB, figure-8 -40.09 dB',
    'Figure-8: omni -40.09 dB, figure-8 0 dB', 'Super Card: omni -3.06 dB, figure-8 0 dB',
    'Hyper Card: omni -5.94 dB, figure-8 0 dB', '', ''];
  for (const [index, expected] of presets.entries())
    assert.equal(rules.presetAnnouncement(index === 6 ? -1 : index), expected, `preset ${index}`);
  // [s1, s2, v, announcement]
  const probe = [
    [30, 0, 1, '1 degree, gain 4.61 dB'], [30, 0, -1, '-1 degree, gain 4.61 dB'],
    [50, 0, 1, '1 degree, gain 3.52 dB'], [0, 0, 180, '180 degrees, gain off'],
    [0, 0, 90, '90 degrees, gain 0 dB'], [100, 0, 90, '90 degrees, gain -187.74 dB'],
    [0, 100, -45, '-45 degrees, gain 0 dB'], [100, 100, 0, '0 degrees, gain off'],
  ];
  for (const [s1, s2, v, expected] of probe)
    assert.equal(rules.probeAnnouncement(s1, s2, v), expected, `s1 ${s1}, s2 ${s2}, v ${v}`);
});

test('the layout the page is built from is the desktop table', () => {
  const full = rules.layout(0);
  const lite = rules.layout(1);
  assert.equal(full.controls.length, 23);
  assert.deepEqual(lite.controls.map((c) => c.name),
    full.controls.map((c) => c.name).filter((n) => !['Slider3', 'LblAngle', 'Label8', 'Label9', 'LblGain', 'Label4x'].includes(n)));
  assert.deepEqual([full.canvasWidth, full.canvasHeight], [573, 477]);
  // Each readout is read with its caption and unit.
  const readWith = Object.fromEntries(full.controls.filter((c) => c.kind === 'readout').map((c) => [c.name, c.readWith]));
  assert.deepEqual(readWith, { dbomni: ['Label1', 'Label3'], dbfig8: ['Label2', 'Label4'], LblAngle: ['Label8', ''], LblGain: ['Label9', ''] });
});

test('the page\'s JSON writer: every text, a translation with a tab or a quote too, comes through JSON.parse as written', () => {
  const written = (text) => rules.module.ccall('orvane_json_string', 'string', ['string'], [text]);
  const texts = ['Radial Position', 'Gain\t(dB):', 'the "kept" pattern', 'back\\slash', 'two\nlines\r\n',
    '\u0001\u001f\u007f', 'Kenngrößen der Richtcharakteristik', '指向特性の詳細', '\u2028\u2029', ''];
  for (const text of texts) {
    assert.equal(JSON.parse(written(text)), text, JSON.stringify(text));
    assert.doesNotMatch(written(text), /[\u0000-\u001f]/, `${JSON.stringify(text)}: no raw control character`);
  }
});
