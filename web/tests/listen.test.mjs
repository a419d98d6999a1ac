// The pattern as sound in the page: the module's samples rendered by the
// browser's own Web Audio engine (an OfflineAudioContext, inside the page),
// checked as the desktop's are: the level in each direction is the probe's gain
// within 0.1 dB above the floor, silent below it and at the cardioid's rear,
// panned with the direction, with no step larger than the smoothing allows.
// Then what the user does: L on the plot, the sound button, the probing
// sound's switch; nothing plays unasked and listening changes nothing shown.
import test from 'node:test';
import assert from 'node:assert/strict';
import { launch, open, press, readState } from './browser.mjs';

const browser = await launch();
test.after(() => browser.close());

// Counts what the page asks of the Web Audio API. The page makes its audio
// context at the first sound it plays, so a hook put in after load sees it all,
// in every engine.
async function countAudio(page) {
  await page.evaluate(() => {
    window.audioLog = { contexts: 0, started: [] };
    const Context = window.AudioContext;
    window.AudioContext = class extends Context {
      constructor(...args) {
        super(...args);
        window.audioLog.contexts += 1;
      }
    };
    window.audioBuffers = [];
    const start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (...args) {
      window.audioLog.started.push({ seconds: this.buffer.duration, rate: this.buffer.sampleRate });
      window.audioBuffers.push(this.buffer);
      return start.apply(this, args);
    };
  });
}

// Installs window.renderSweep(s1, s2, rate, pair): the module's sweep (around
// the pair [technique, value] where given) played by the browser's own Web
// Audio engine into an OfflineAudioContext; its left and right channels.
const installRender = () => {
  window.renderSweep = async (s1, s2, rate, pair = []) => {
    const module = window.OrvanePage.module;
    const { samples: at8, frames } = JSON.parse(module.UTF8ToString(module._orvane_sound(1000, s1, s2, rate, ...pair)));
    const at = at8 >> 2;
    const samples = module.HEAPF32.slice(at, at + 2 * frames);
    const context = new OfflineAudioContext(2, frames, rate);
    const buffer = context.createBuffer(2, frames, rate);
    for (let c = 0; c < 2; ++c) buffer.copyToChannel(samples.filter((_, i) => i % 2 === c), c);
    const source = context.createBufferSource();
    source.buffer = buffer;
    source.connect(context.destination);
    source.start();
    const rendered = await context.startRendering();
    return { frames, rate: rendered.sampleRate, left: rendered.getChannelData(0), right: rendered.getChannelData(1) };
  };
};

// [name, omni slider, figure-8 slider, has a null]
const patterns = [['Cardioid', 0, 0, true], ['Omni', 0, 100, false], ['Figure-8', 100, 0, true],
  ['Supercardioid', 30, 0, true], ['Hypercardioid', 50, 0, true]];

test('the sweep as the browser renders it follows the pattern\'s gain, silent at the nulls, panned', async () => {
  const { page, problems } = await open(browser, 'index.html');
  await page.evaluate(installRender);
  for (const [name, s1, s2, hasNull] of patterns) {
    const result = await page.evaluate(async (s1, s2) => {
      const rate = 48000;
      const rendered = await window.renderSweep(s1, s2, rate);
      const { frames, left, right } = rendered;

      // The rule afresh: the pattern a + b cos(theta), relative to its loudest.
      const a = (100 - s1) / 100;
      const b = (100 - s2) / 100;
      let loudest = 0;
      for (let v = -180; v <= 180; ++v) loudest = Math.max(loudest, Math.abs(a + b * Math.cos(v * Math.PI / 180)));
      const fade = Math.ceil(0.01 * rate) + 1;
      const out = { frames, rate: rendered.rate, worst: 0, heard: 0, silent: 0, panned: 0, failures: [], steps: 0 };
      const maxStep = 1 / (0.005 * rate);
      const toneStep = 2 * Math.PI * 440 / rate;
      for (let n = 0; n < frames; ++n) {
        if (n > 0) for (const ch of [left, right])
          if (Math.abs(ch[n] - ch[n - 1]) > 0.5 * (toneStep + 2 * maxStep) + 1e-6) out.steps += 1;
        if (n < fade || n + fade >= frames || n % 3) continue;
        const degrees = -180 + 360 * n / (frames - 1);
        const theta = degrees * Math.PI / 180;
        const expected = 20 * Math.log10(Math.abs(a + b * Math.cos(theta)) / loudest);
        const tone = Math.sin(2 * Math.PI * 440 * n / rate);
        const l = left[n];
        const r = right[n];
        const level = Math.hypot(l, r) / 0.5;
        if (Math.abs(tone) >= 0.5) {
          if (expected > -40 + 0.5) {
            const error = Math.abs(20 * Math.log10(level / Math.abs(tone)) - expected);
            out.worst = Math.max(out.worst, error);
            if (error > 0.1 && out.failures.length < 5) out.failures.push(`${degrees.toFixed(2)} degrees: ${error.toFixed(3)} dB off`);
            out.heard += 1;
          } else if (expected < -40 - 1) {
            if (level !== 0 && out.failures.length < 5) out.failures.push(`${degrees.toFixed(2)} degrees: not silent`);
            out.silent += 1;
          }
        }
        if (Math.hypot(l, r) > 1e-3) {
          // Full left at 90 degrees, full right at -90.
          const turn = (1 - Math.sin(theta)) * Math.PI / 4;
          const sign = Math.sign(l + r);
          if (Math.abs(Math.atan2(r * sign, l * sign) - turn) > 2e-3 && out.failures.length < 5)
            out.failures.push(`${degrees.toFixed(2)} degrees: pan off`);
          out.panned += 1;
        }
      }
      return out;
    }, s1, s2);
    assert.equal(result.rate, 48000, name);
    assert.equal(result.frames, 144000, name);
    assert.deepEqual(result.failures, [], name);
    assert.ok(result.heard > 10000, `${name}: ${result.heard} frames compared`);
    assert.ok(result.panned > 10000, `${name}: ${result.panned} frames panned`);
    assert.equal(result.silent > 0, hasNull, `${name}: ${result.silent} silent frames`);
    assert.equal(result.steps, 0, `${name}: steps larger than the smoothing allows`);
  }
  // The cardioid's rear, as rendered: nothing from 170 degrees on either side.
  const rear = await page.evaluate(() => {
    const module = window.OrvanePage.module;
    const { samples, frames } = JSON.parse(module.UTF8ToString(module._orvane_sound(1000, 0, 0, 44100)));
    const at = samples >> 2;
    let loudest = 0;
    for (let n = 0; n < frames; ++n) {
      const degrees = -180 + 360 * n / (frames - 1);
      if (Math.abs(degrees) >= 170) loudest = Math.max(loudest, Math.abs(module.HEAPF32[at + 2 * n]), Math.abs(module.HEAPF32[at + 2 * n + 1]));
    }
    return loudest;
  });
  assert.equal(rear, 0);
  assert.deepEqual(problems, []);
  await page.close();
});

// [name, omni slider, figure-8 slider, pair [1 XY, angle] or [2 M/S, side],
// frames where the two channels are of opposite polarity]
const pairs = [['XY cardioids at 90', 0, 0, [1, 90], false], ['Blumlein', 100, 0, [1, 90], true],
  ['M/S, a cardioid mid and the side at its peak', 0, 0, [2, 0], true], ['XY omnis', 0, 100, [1, 120], false]];

test('the sweep around the stereo pair as the browser renders it: each channel its microphone\'s signal, signed', async () => {
  const { page, problems } = await open(browser, 'index.html');
  await page.evaluate(installRender);
  for (const [name, s1, s2, pair, hasOpposite] of pairs) {
    const result = await page.evaluate(async (s1, s2, pair) => {
      const rate = 48000;
      const { frames, left, right } = await window.renderSweep(s1, s2, rate, pair);
      // The microphones afresh: a + b cos(theta - facing), left facing
      // +angle/2 and right -angle/2 for XY; mid + side and mid - side for
      // M/S, the side a figure-8 facing +90.
      const a = (100 - s1) / 100;
      const b = (100 - s2) / 100;
      const signals = (degrees) => {
        const theta = degrees * Math.PI / 180;
        if (pair[0] === 1) {
          const half = pair[1] / 2 * Math.PI / 180;
          return [a + b * Math.cos(theta - half), a + b * Math.cos(theta + half)];
        }
        const side = (100 - pair[1]) / 100 * Math.sin(theta);
        return [a + b * Math.cos(theta) + side, a + b * Math.cos(theta) - side];
      };
      let loudest = 0;
      for (let k = 0; k <= 1440; ++k) loudest = Math.max(loudest, ...signals(-180 + k / 4).map(Math.abs));
      const fade = Math.ceil(0.01 * rate) + 1;
      const out = { frames, rate, worst: 0, heard: 0, inverted: 0, opposite: 0, failures: [] };
      for (let n = fade; n + fade < frames; n += 3) {
        const tone = Math.sin(2 * Math.PI * 440 * n / rate);
        if (Math.abs(tone) < 0.5) continue;
        const degrees = -180 + 360 * n / (frames - 1);
        const expected = signals(degrees).map((x) => x / loudest);
        const heard = [left[n], right[n]].map((x) => x / (0.5 * tone));
        for (let c = 0; c < 2; ++c) {
          if (Math.abs(expected[c]) < Math.pow(10, (-40 + 0.5) / 20)) continue;
          const error = Math.abs(20 * Math.log10(Math.abs(heard[c] / expected[c])));
          out.worst = Math.max(out.worst, error);
          if ((error > 0.1 || Math.sign(heard[c]) !== Math.sign(expected[c])) && out.failures.length < 5)
            out.failures.push(`${degrees.toFixed(2)} degrees, channel ${c}: ${heard[c].toFixed(4)}, the microphone ${expected[c].toFixed(4)}`);
          out.heard += 1;
          out.inverted += heard[c] < 0;
        }
        out.opposite += heard[0] * heard[1] < 0;
      }
      return out;
    }, s1, s2, pair);
    assert.equal(result.rate, 48000, name);
    assert.equal(result.frames, 144000, name);
    assert.deepEqual(result.failures, [], name);
    assert.ok(result.heard > 20000, `${name}: ${result.heard} frames compared`);
    assert.equal(result.opposite > 1000, hasOpposite, `${name}: ${result.opposite} frames of opposite polarity`);
  }
  assert.deepEqual(problems, []);
  await page.close();
});

test('L on the plot and the sound button listen; the probing sound plays only when switched on', async () => {
  const { page, problems } = await open(browser, 'index.html');
  await countAudio(page);
  const log = () => page.evaluate(() => JSON.parse(JSON.stringify(window.audioLog)));
  // The title bar: the title, then the sound button, the switch, the details and
  // comparison buttons, the datasheet view's switch and range, and Maximise.
  assert.deepEqual(await page.$eval('#TitleBar', (e) => [...e.children].map((c) => c.id)), ['WindowTitle', 'TitleButtons']);
  assert.deepEqual(await page.$eval('#TitleButtons', (e) => [...e.children].map((c) => c.id)), ['ListenButton', 'ProbeSoundSwitch', 'ShareButton', 'SaveImage', 'DetailsButton', 'StereoPairButton', 'KeepButton', 'ClearKeptButton', 'DbButton', 'RangeChoice', 'Maximise']);
  assert.deepEqual(await page.$eval('#ProbeSoundSwitch', (e) => [e.getAttribute('role'), e.getAttribute('aria-checked')]), ['switch', 'false']);
  assert.deepEqual(await page.$eval('#gra', (e) => [e.getAttribute('aria-keyshortcuts'), e.getAttribute('aria-description')]),
    ['L D P K V', 'Press L to listen to the pattern.']);

  await page.click('#Cardiod');
  await press(page, 'Slider3', 'ArrowRight', 3); // switch off: the probe moves in silence
  assert.deepEqual(await log(), { contexts: 0, started: [] }, 'nothing plays unasked');
  const before = await readState(page);

  await press(page, 'gra', 'l');
  let seen = await log();
  assert.equal(seen.contexts, 1);
  assert.equal(seen.started.length, 1);
  assert.ok(Math.abs(seen.started[0].seconds - 3) < 1e-3, `a sweep of ${seen.started[0].seconds} s`);
  assert.match(await page.$eval('#Announcer', (e) => e.textContent), /^Listening to the pattern/);
  assert.deepEqual(await readState(page), before, 'listening changes no control or readout');

  await page.click('#ListenButton');
  assert.equal((await log()).started.length, 2);

  await page.click('#ProbeSoundSwitch');
  assert.equal(await page.$eval('#ProbeSoundSwitch', (e) => e.getAttribute('aria-checked')), 'true');
  await press(page, 'Slider3', 'ArrowRight');
  seen = await log();
  assert.equal(seen.started.length, 3);
  assert.ok(Math.abs(seen.started[2].seconds - 0.15) < 1e-3, `a probe sound of ${seen.started[2].seconds} s`);
  await page.click('#ProbeSoundSwitch');
  await press(page, 'Slider3', 'ArrowRight');
  assert.equal((await log()).started.length, 3, 'switched off again');
  assert.equal(seen.contexts, 1, 'one audio context');

  // With the stereo pair shown (P, XY at 90 as it starts), L plays the sweep
  // around it: the module's pair samples, each channel its own; hidden again,
  // the pattern's sweep.
  const played = (pair) => page.evaluate((pair) => {
    const module = window.OrvanePage.module;
    const buffer = window.audioBuffers[window.audioBuffers.length - 1];
    const { samples, frames } = JSON.parse(module.UTF8ToString(module._orvane_sound(1000, 0, 0, buffer.sampleRate, ...pair)));
    const at = samples >> 2;
    let differ = frames !== buffer.length;
    for (let c = 0; c < 2 && !differ; ++c) {
      const channel = buffer.getChannelData(c);
      for (let n = 0; n < frames && !differ; ++n) differ = channel[n] !== module.HEAPF32[at + 2 * n + c];
    }
    return !differ;
  }, pair);
  await press(page, 'gra', 'p');
  await press(page, 'gra', 'l');
  assert.equal((await log()).started.length, 4);
  assert.ok(await played([1, 90]), 'the pair\'s sweep');
  assert.ok(!(await played([])), 'not the pattern\'s');
  await press(page, 'gra', 'p');
  await press(page, 'gra', 'l');
  assert.equal((await log()).started.length, 5);
  assert.ok(await played([]), 'the pattern\'s sweep once the pair is hidden');
  assert.deepEqual(problems, []);
  await page.close();
});

test('the end of the sweep is announced', async (t) => {
  const { page, problems } = await open(browser, 'index.html');
  await page.evaluate(() => {
    const Context = window.AudioContext;
    window.AudioContext = class extends Context {
      constructor(...args) {
        super(...args);
        window.audioContext = this;
      }
    };
  });
  await press(page, 'gra', 'l');
  // Where the browser has no sound device to play on (Firefox on a machine with
  // no sound server), its audio clock does not run and no sound ever ends.
  await page.waitForFunction(() => window.audioContext && window.audioContext.currentTime > 0, { timeout: 3000 }).catch(() => {});
  const running = await page.evaluate(() => window.audioContext.state === 'running' && window.audioContext.currentTime > 0);
  if (!running) {
    t.skip('the browser\'s audio clock does not run here: no sound device to play on');
  } else {
    await page.waitForFunction(() => document.getElementById('Announcer').textContent === 'Listening ended', { timeout: 10000 });
    assert.deepEqual(problems, []);
  }
  await page.close();
});

test('OrvaneLite listens too, and has no probing sound', async () => {
  const { page, problems } = await open(browser, 'lite.html');
  await countAudio(page);
  assert.deepEqual(await page.$eval('#TitleButtons', (e) => [...e.children].map((c) => c.id)), ['ListenButton', 'ShareButton', 'SaveImage', 'DetailsButton', 'StereoPairButton', 'KeepButton', 'ClearKeptButton', 'DbButton', 'RangeChoice', 'Maximise']);
  await page.click('#Cardiod');
  await press(page, 'gra', 'L');
  assert.equal((await page.evaluate(() => window.audioLog.started.length)), 1);
  assert.deepEqual(problems, []);
  await page.close();
});

test('a browser without Web Audio shows the error and the page goes on', async () => {
  const { page } = await open(browser, 'index.html');
  await page.evaluate(() => { delete window.AudioContext; delete window.webkitAudioContext; });
  await press(page, 'gra', 'l');
  assert.equal(await page.$eval('#ErrorBox', (e) => e.hidden), false);
  assert.match(await page.$eval('#ErrorText', (e) => e.textContent), /Listen: /);
  await page.click('#ErrorOk');
  await page.click('#Command3');
  assert.equal((await readState(page)).dbomni, '-3.06126050124842');
  await page.close();
});
