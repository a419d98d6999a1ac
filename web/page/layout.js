// The window's arrangement: the texts that fit their boxes, the window
// filling the screen (Maximise), and the canvas following the screen's
// resolution.
import { app, win, byId } from './state.js';
import { store } from './store.js';
import { fitTexts, touchLayout } from './fit.js';
import { sizeCanvas } from './plot.js';
import { placeDetails } from './details.js';
import { placePair } from './pair.js';

// The window filling the screen, for a class: the browser's full screen where
// it allows it, else the whole viewport; the layout table's window scaled to
// the largest size that fits, or the touch layout as it flows. The button
// again, or Escape, goes back.
const maximiseButton = byId('Maximise');
let maximised = false;

export function fitWindow() {
  fitTexts();
  app.windowScale = 1;
  win.style.transform = '';
  win.style.left = '';
  win.style.top = '';
  if (maximised && !touchLayout()) {
    const width = win.offsetWidth;
    const height = win.offsetHeight;
    const scale = Math.min(window.innerWidth / width, window.innerHeight / height);
    app.windowScale = scale;
    win.style.left = Math.max(0, Math.floor((window.innerWidth - width * scale) / 2)) + 'px';
    win.style.top = Math.max(0, Math.floor((window.innerHeight - height * scale) / 2)) + 'px';
    win.style.transform = 'scale(' + scale + ')';
  }
  sizeCanvas();
  placeDetails();
  placePair();
}

const fullScreenElement = () => document.fullscreenElement || document.webkitFullscreenElement || null;
function setMaximised(on) {
  if (on === maximised) return;
  maximised = on;
  maximiseButton.setAttribute('aria-pressed', String(on));
  document.documentElement.classList.toggle('maximised', on);
  // Safari before 16.4 knows the full screen by its prefixed names.
  const root = document.documentElement;
  const request = root.requestFullscreen || root.webkitRequestFullscreen;
  const exit = document.exitFullscreen || document.webkitExitFullscreen;
  if (on && (document.fullscreenEnabled || document.webkitFullscreenEnabled) && !fullScreenElement() && request) {
    Promise.resolve(request.call(root)).catch(() => {}); // the viewport is filled either way
  } else if (!on && fullScreenElement() && exit) {
    Promise.resolve(exit.call(document)).catch(() => {});
  }
  fitWindow();
}
maximiseButton.addEventListener('click', () => setMaximised(!maximised));
const fullScreenChanged = () => {
  if (!fullScreenElement()) setMaximised(false);
  fitWindow();
};
document.addEventListener('fullscreenchange', fullScreenChanged);
document.addEventListener('webkitfullscreenchange', fullScreenChanged);
// Escape closes the details first, then the stereo pair's panel, then leaves
// the full screen.
document.addEventListener('keydown', (event) => {
  if (event.key !== 'Escape') return;
  const shown = store.snapshot;
  if (shown && shown.details) store.dispatch({ kind: 'choose', action: 'DetailsAction', on: false });
  else if (shown && shown.pair) store.dispatch({ kind: 'choose', action: 'StereoPairAction', on: false });
  else if (maximised) setMaximised(false);
});

// A zoom or another screen changes the pixel ratio; a turned phone the size.
export function watchResolution() {
  const query = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
  const changed = () => {
    query.removeEventListener('change', changed);
    watchResolution();
    fitWindow();
  };
  query.addEventListener('change', changed);
}
window.addEventListener('resize', fitWindow);
