// The pattern as sound: the module's samples, played by the Web Audio API
// when a snapshot asks for a sound (on the user's key or click, as browsers
// require).
import { store } from './store.js';

let audio = null;
let playing = null;

function play(sound) {
  audio = audio || new (window.AudioContext || window.webkitAudioContext)();
  if (audio.state === 'suspended') audio.resume();
  const rate = audio.sampleRate;
  const data = store.samples(sound, rate);
  const frames = data.length / 2;
  const buffer = audio.createBuffer(2, frames, rate);
  for (let c = 0; c < 2; ++c) {
    const channel = buffer.getChannelData(c);
    for (let i = 0; i < frames; ++i) channel[i] = data[2 * i + c];
  }
  if (playing) {
    playing.onended = null;
    playing.stop();
  }
  const source = playing = audio.createBufferSource();
  source.buffer = buffer;
  source.connect(audio.destination);
  source.onended = () => {
    playing = null;
    // The sweep's end is said; a probe's short sound ends unsaid.
    if (sound.action === 'ListenAction') store.dispatch({ kind: 'soundEnded', action: sound.action });
  };
  source.start();
}

// The browser's own reason ("The AudioContext was not allowed to start")
// tells a teacher nothing: the page says what happened and what to do.
export function playSound({ sound }) {
  if (!sound) return;
  try {
    play(sound);
  } catch {
    store.dispatch({ kind: 'soundFailed', action: sound.action });
  }
}
