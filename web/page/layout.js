// The window's arrangement: the texts that fit their boxes, the window
// filling the screen (Maximise), and the canvas following the screen's
// resolution.
import { app, win, byId } from './state.js';
import { sizeCanvas } from './plot.js';
import { placeDetails, setDetailsOpen } from './details.js';

// Which arrangement page.css chose: the layout table's, or the one for
// fingers and small screens.
export const touchLayout = () => getComputedStyle(win).getPropertyValue('--layout').trim() === 'touch';

// A text for a small box may come with shorter forms after U+009C, longest
// first: the box shows the longest that fits, as Qt's labels and buttons do,
// and a shortened one keeps its full form as its name and tooltip.
export const fitted = [];
function fits(element) {
  const range = document.createRange();
  range.selectNodeContents(element);
  const text = range.getBoundingClientRect();
  const box = element.getBoundingClientRect();
  const scale = box.width / (element.offsetWidth || 1);
  const left = box.left + element.clientLeft * scale;
  const top = box.top + element.clientTop * scale;
  return text.left >= left - 0.5 && text.right <= left + element.clientWidth * scale + 0.5 &&
    text.top >= top - 0.5 && text.bottom <= top + element.clientHeight * scale + 0.5;
}
export function fitTexts() {
  for (const { element, forms, title, room } of fitted) {
    let shown = 0;
    element.textContent = forms[0];
    // Where the language's word is wider than the box and there is room
    // beside it, the box grows rather than the word shortens (the layout
    // table's arrangement only; the touch layout flows).
    if (room) {
      element.style.width = room.base + 'px';
      if (!touchLayout() && !fits(element)) element.style.width = room.wide + 'px';
    }
    while (shown + 1 < forms.length && !fits(element)) element.textContent = forms[++shown];
    if (shown > 0) {
      element.setAttribute('aria-label', forms[0]);
      element.title = title || forms[0];
    } else {
      element.removeAttribute('aria-label');
      if (title) element.title = title;
      else element.removeAttribute('title');
    }
  }
}

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
  if (app.detailsOpen) placeDetails();
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
// Escape closes the details first, then leaves the full screen.
document.addEventListener('keydown', (event) => {
  if (event.key !== 'Escape') return;
  if (app.detailsOpen) setDetailsOpen(false);
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
