// The sliders of the layout table and the readouts under them: this script
// draws and drives the sliders; each move is an action for the module, and
// the thumbs, spoken values and readouts show what its snapshot says.
import { app, byId } from './state.js';
import { store } from './store.js';

// A slider of the layout table, drawn and driven by this script. Qt's key
// and mouse rules: arrows and Page keys step (on the level sliders Up lowers
// the value, so the thumb follows the key), Home and End go to the ends, a
// press in the channel steps a page towards it, the thumb can be dragged, the
// wheel steps. Its value is the last snapshot's; show(value) draws it there.
function makeSlider(element, index) {
  const d = element.dataset;
  const minimum = Number(d.minimum);
  const maximum = Number(d.maximum);
  const small = Number(d.smallStep);
  const large = Number(d.largeStep);
  const vertical = element.classList.contains('vertical');
  const thumb = element.querySelector('.thumb');
  const fill = element.querySelector('.fill');
  const groove = element.querySelector('.groove');
  const ticks = [...element.querySelectorAll('.tick')];
  const slider = { element, value: Number(element.getAttribute('aria-valuenow')), show };
  let drag = null;
  let length = vertical ? element.offsetHeight : element.offsetWidth;
  let thumbLength = 11; // the layout table's thumb, until the layout says otherwise
  let span = length - thumbLength;
  let reach = 0;

  const offsetOf = (value) => Math.round(((value - minimum) / (maximum - minimum)) * span);

  function show(value = slider.value) {
    slider.value = value;
    const at = offsetOf(value);
    const half = thumbLength / 2;
    if (vertical) {
      thumb.style.top = at + 'px';
      fill.style.top = half + 'px';
      fill.style.height = at + 'px';
    } else {
      thumb.style.left = at + 'px';
      fill.style.left = half + 'px';
      fill.style.width = at + 'px';
    }
    // What a screen reader says of the value comes with each snapshot.
    element.setAttribute('aria-valuenow', String(value));
  }

  // The track as page.css lays it out: its length, the thumb's length along
  // it, and how far beyond the thumb a press still takes it (for a finger).
  function measure() {
    const along = vertical ? element.offsetHeight : element.offsetWidth;
    const thumbAlong = vertical ? thumb.offsetHeight : thumb.offsetWidth;
    if (along === 0 || thumbAlong === 0) return; // not laid out
    length = along;
    thumbLength = thumbAlong;
    reach = Number.parseFloat(getComputedStyle(element).getPropertyValue('--reach')) || 0;
    span = length - thumbLength;
    const half = thumbLength / 2;
    const side = vertical ? ['top', 'height'] : ['left', 'width'];
    groove.style[side[0]] = half + 'px';
    groove.style[side[1]] = span + 'px';
    const interval = ticks.length > 1 ? (maximum - minimum) / (ticks.length - 1) : 0;
    ticks.forEach((tick, i) => {
      tick.style.top = Math.round(((i * interval) / (maximum - minimum)) * span + half) + 'px';
    });
    show();
  }

  // A move by the user: the slider's scroll handler runs with the thumb there.
  // A level slider is heard through its value; the probe's gain is announced.
  const userMove = (value) => store.dispatch({ kind: 'move', slider: index, value: Math.min(maximum, Math.max(minimum, value)) });

  // Where the pointer is along the track, in unscaled CSS pixels.
  function pointerAt(event) {
    const r = element.getBoundingClientRect();
    return vertical ? ((event.clientY - r.top) / r.height) * length : ((event.clientX - r.left) / r.width) * length;
  }

  element.addEventListener('keydown', (event) => {
    const v = slider.value;
    const up = vertical ? -1 : 1; // the level sliders' controls are inverted
    const moves = {
      ArrowUp: v + up * small, ArrowDown: v - up * small,
      ArrowLeft: v - up * small, ArrowRight: v + up * small,
      PageUp: v + up * large, PageDown: v - up * large,
      Home: minimum, End: maximum,
    };
    if (!(event.key in moves) || event.altKey || event.ctrlKey || event.metaKey) return;
    event.preventDefault();
    userMove(moves[event.key]);
  });

  element.addEventListener('pointerdown', (event) => {
    if (event.button !== 0) return;
    event.preventDefault();
    // Not scrolled into view: a finger on a slider partly off the screen would
    // move the page under it, and the thumb with it.
    element.focus({ preventScroll: true });
    const pos = pointerAt(event);
    const at = offsetOf(slider.value);
    if (pos >= at - reach && pos < at + thumbLength + reach) {
      drag = { grab: pos - at, id: event.pointerId };
      element.setPointerCapture(event.pointerId);
    } else {
      userMove(slider.value + (pos < at ? -large : large));
    }
  });

  element.addEventListener('pointermove', (event) => {
    if (!drag || event.pointerId !== drag.id) return;
    const fraction = (pointerAt(event) - drag.grab) / span;
    const value = Math.min(maximum, Math.max(minimum, minimum + Math.round(fraction * (maximum - minimum))));
    if (value !== slider.value) userMove(value);
  });

  // A notch of the wheel moves three small steps, at most a page, as Qt's
  // sliders do; wheeling up raises the value, on the level sliders lowers it.
  element.addEventListener('wheel', (event) => {
    if (event.deltaY === 0 || event.ctrlKey) return;
    event.preventDefault();
    const steps = Math.min(3 * small, large);
    const up = (event.deltaY < 0 ? 1 : -1) * (vertical ? -1 : 1);
    userMove(slider.value + up * steps);
  }, { passive: false });

  const release = (event) => { if (drag && event.pointerId === drag.id) drag = null; };
  element.addEventListener('pointerup', release);
  element.addEventListener('pointercancel', release);

  measure();
  show();
  // The layout decides the slider's length and the thumb's size.
  if (window.ResizeObserver) new ResizeObserver(measure).observe(element);
  return slider;
}

export const sliders = app.layout.sliders.map((name, index) => {
  const element = document.getElementById(name);
  return element ? makeSlider(element, index) : null;
});

// The thumbs, the values a screen reader says and the readouts, as a
// snapshot gives them, each written where it changed (a move changes one
// slider's); a readout's tooltip shows all of a value its box clips.
const readouts = [];
const spoken = [];
export function showSliders(shown) {
  sliders.forEach((slider, i) => {
    if (!slider) return;
    if (shown.sliders[i] !== slider.value) slider.show(shown.sliders[i]);
    if (shown.spoken[i] && shown.spoken[i] !== spoken[i]) slider.element.setAttribute('aria-valuetext', spoken[i] = shown.spoken[i]);
  });
  shown.readouts.forEach((caption, i) => {
    const element = byId(app.layout.captions[i]);
    if (!element || caption === null || readouts[i] === caption) return;
    readouts[i] = caption;
    element.textContent = caption;
    element.title = caption;
  });
}
