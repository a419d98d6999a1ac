// The sliders of the layout table and the readouts under them: this script
// draws and drives the sliders; each move is an action for the module, and
// the thumbs, spoken values and readouts show what its snapshot says.
import { app, byId } from './state.js';
import { store } from './store.js';

// A slider of the layout table, drawn and driven by this script. Qt's key
// and mouse rules: arrows and Page keys step (on the level sliders Up lowers
// the value, so the thumb follows the key), Home and End go to the ends, a
// press in the channel steps a page towards it, the thumb can be dragged, the
// wheel steps.
class Slider {
  constructor(element, index) {
    this.element = element;
    this.index = index;
    const d = element.dataset;
    this.minimum = Number(d.minimum);
    this.maximum = Number(d.maximum);
    this.small = Number(d.smallStep);
    this.large = Number(d.largeStep);
    this.vertical = element.classList.contains('vertical');
    this.value = Number(element.getAttribute('aria-valuenow'));
    this.thumb = element.querySelector('.thumb');
    this.fill = element.querySelector('.fill');
    this.groove = element.querySelector('.groove');
    this.ticks = [...element.querySelectorAll('.tick')];
    this.drag = null;
    this.length = this.vertical ? element.offsetHeight : element.offsetWidth;
    this.thumbLength = 11; // the layout table's thumb, until the layout says otherwise
    this.span = this.length - this.thumbLength;
    this.reach = 0;
    this.measure();
    // The layout decides the slider's length and the thumb's size.
    if (window.ResizeObserver) new ResizeObserver(() => this.measure()).observe(element);
    element.addEventListener('keydown', (e) => this.onKey(e));
    element.addEventListener('pointerdown', (e) => this.onPointerDown(e));
    element.addEventListener('pointermove', (e) => this.onPointerMove(e));
    element.addEventListener('pointerup', (e) => this.onPointerUp(e));
    element.addEventListener('pointercancel', (e) => this.onPointerUp(e));
    element.addEventListener('wheel', (e) => this.onWheel(e), { passive: false });
    this.show();
  }

  // The track as page.css lays it out: its length, the thumb's length along
  // it, and how far beyond the thumb a press still takes it (for a finger).
  measure() {
    const length = this.vertical ? this.element.offsetHeight : this.element.offsetWidth;
    const thumbLength = this.vertical ? this.thumb.offsetHeight : this.thumb.offsetWidth;
    if (length === 0 || thumbLength === 0) return; // not laid out
    this.length = length;
    this.thumbLength = thumbLength;
    this.reach = Number.parseFloat(getComputedStyle(this.element).getPropertyValue('--reach')) || 0;
    this.span = length - thumbLength;
    const half = thumbLength / 2;
    const side = this.vertical ? ['top', 'height'] : ['left', 'width'];
    this.groove.style[side[0]] = half + 'px';
    this.groove.style[side[1]] = this.span + 'px';
    const interval = this.ticks.length > 1 ? (this.maximum - this.minimum) / (this.ticks.length - 1) : 0;
    this.ticks.forEach((tick, i) => {
      tick.style.top = Math.round(((i * interval) / (this.maximum - this.minimum)) * this.span + half) + 'px';
    });
    this.show();
  }

  offsetOf(value) {
    return Math.round(((value - this.minimum) / (this.maximum - this.minimum)) * this.span);
  }

  show() {
    const at = this.offsetOf(this.value);
    const half = this.thumbLength / 2;
    if (this.vertical) {
      this.thumb.style.top = at + 'px';
      this.fill.style.top = half + 'px';
      this.fill.style.height = at + 'px';
    } else {
      this.thumb.style.left = at + 'px';
      this.fill.style.left = half + 'px';
      this.fill.style.width = at + 'px';
    }
    // What a screen reader says of the value comes with what the module
    // shows after each action.
    this.element.setAttribute('aria-valuenow', String(this.value));
  }


  // A move by the user: the slider's scroll handler runs with the thumb there.
  // A level slider is heard through its value; the probe's gain is announced.
  userMove(value) {
    store.dispatch({ kind: 'move', slider: this.index, value: Math.min(this.maximum, Math.max(this.minimum, value)) });
  }

  onKey(event) {
    const v = this.value;
    const up = this.vertical ? -1 : 1; // the level sliders' controls are inverted
    const moves = {
      ArrowUp: v + up * this.small, ArrowDown: v - up * this.small,
      ArrowLeft: v - up * this.small, ArrowRight: v + up * this.small,
      PageUp: v + up * this.large, PageDown: v - up * this.large,
      Home: this.minimum, End: this.maximum,
    };
    if (!(event.key in moves) || event.altKey || event.ctrlKey || event.metaKey) return;
    event.preventDefault();
    this.userMove(moves[event.key]);
  }

  // Where the pointer is along the track, in unscaled CSS pixels.
  along(event) {
    const r = this.element.getBoundingClientRect();
    return this.vertical ? ((event.clientY - r.top) / r.height) * this.length
      : ((event.clientX - r.left) / r.width) * this.length;
  }

  onPointerDown(event) {
    if (event.button !== 0) return;
    event.preventDefault();
    // Not scrolled into view: a finger on a slider partly off the screen would
    // move the page under it, and the thumb with it.
    this.element.focus({ preventScroll: true });
    const pos = this.along(event);
    const at = this.offsetOf(this.value);
    if (pos >= at - this.reach && pos < at + this.thumbLength + this.reach) {
      this.drag = { grab: pos - at, id: event.pointerId };
      this.element.setPointerCapture(event.pointerId);
    } else {
      this.userMove(this.value + (pos < at ? -this.large : this.large));
    }
  }

  onPointerMove(event) {
    if (!this.drag || event.pointerId !== this.drag.id) return;
    const fraction = (this.along(event) - this.drag.grab) / this.span;
    const value = Math.min(this.maximum, Math.max(this.minimum,
      this.minimum + Math.round(fraction * (this.maximum - this.minimum))));
    if (value !== this.value) this.userMove(value);
  }

  // A notch of the wheel moves three small steps, at most a page, as Qt's
  // sliders do; wheeling up raises the value, on the level sliders lowers it.
  onWheel(event) {
    if (event.deltaY === 0 || event.ctrlKey) return;
    event.preventDefault();
    const steps = Math.min(3 * this.small, this.large);
    const up = (event.deltaY < 0 ? 1 : -1) * (this.vertical ? -1 : 1);
    this.userMove(this.value + up * steps);
  }

  onPointerUp(event) {
    if (this.drag && event.pointerId === this.drag.id) this.drag = null;
  }
}

export const sliders = app.layout.sliders.map((name, index) => {
  const element = document.getElementById(name);
  return element ? new Slider(element, index) : null;
});
// The sliders as the layout places them, for the program's start.
export const sliderSettings = () => sliders.map((s) => s && { minimum: s.minimum, maximum: s.maximum, value: s.value });

// The thumbs, the values a screen reader says and the readouts, as a
// snapshot gives them; a readout's tooltip shows all of a value its box clips.
const readouts = [];
export function showSliders(shown) {
  sliders.forEach((slider, i) => {
    if (!slider) return;
    if (shown.sliders[i] !== slider.value) {
      slider.value = shown.sliders[i];
      slider.show();
    }
    if (shown.spoken[i]) slider.element.setAttribute('aria-valuetext', shown.spoken[i]);
  });
  shown.readouts.forEach((caption, i) => {
    const element = byId(app.layout.captions[i]);
    if (!element || caption === null || readouts[i] === caption) return;
    readouts[i] = caption;
    element.textContent = caption;
    element.title = caption;
  });
}
