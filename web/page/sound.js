// The pattern as sound: the module's samples, played by the Web Audio API
// on the user's request (a key or a click, as browsers require).
import { app, byId, fill, text, announce, showError } from './state.js';
import { sliders } from './sliders.js';

export const probeSwitch = byId('ProbeSoundSwitch');
const probing = () => probeSwitch && probeSwitch.getAttribute('aria-checked') === 'true';
let audio = null;
let playing = null;

// Plays the sweep (angle 1000) or the probe's sound at an angle.
function play(angle, ended) {
  const module = app.module;
  audio = audio || new (window.AudioContext || window.webkitAudioContext)();
  if (audio.state === 'suspended') audio.resume();
  const rate = audio.sampleRate;
  const made = text(module._orvane_sound(angle, sliders[0].value, sliders[1].value, rate));
  if (!made) throw new Error('no sound at ' + rate + ' Hz');
  const { samples, frames } = JSON.parse(made);
  const at = samples >> 2;
  const data = module.HEAPF32;
  const buffer = audio.createBuffer(2, frames, rate);
  for (let c = 0; c < 2; ++c) {
    const channel = buffer.getChannelData(c);
    for (let i = 0; i < frames; ++i) channel[i] = data[at + 2 * i + c];
  }
  if (playing) {
    playing.onended = null;
    playing.stop();
  }
  const source = playing = audio.createBufferSource();
  source.buffer = buffer;
  source.connect(audio.destination);
  source.onended = () => { playing = null; if (ended) ended(); };
  source.start();
}

// The browser's own reason ("The AudioContext was not allowed to start")
// tells a teacher nothing: the page says what happened and what to do.
export function listen() {
  try {
    play(1000, () => announce(app.texts.listenEnded));
    announce(app.texts.listenStarted);
  } catch {
    showError(fill(app.texts.listenError, app.texts.noSound));
  }
}

export function playProbeSound() {
  if (!probing()) return;
  try {
    play(sliders[2].value);
  } catch {
    probeSwitch.setAttribute('aria-checked', 'false'); // said once, not at every step
    showError(fill(app.texts.probeError, app.texts.noSound));
  }
}

byId('ListenButton').addEventListener('click', () => app.module && listen());
if (probeSwitch) probeSwitch.addEventListener('click', () => probeSwitch.setAttribute('aria-checked', String(!probing())));
