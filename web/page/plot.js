// The plot: the module's pixels copied to the canvas, with the labels the
// browser's text engine writes, and what follows each of the module's handlers.
import { app, canvas, gra, text, byId } from './state.js';
import { keepAddress, schedulePrint } from './figures.js';
import { showDetails } from './details.js';
import { showView } from './view.js';
import { touchLayout } from './layout.js';

// The plot's labels (the datasheet view's), which the module's rasteriser
// leaves to the browser's text engine: [[x, y, text, colour, align, size,
// over]]. A label is written but on `over`, [[x, y, length], ...], the pixels
// of its box that lines drawn after it changed: the curves cross the grid's
// labels, as on the desktop.
// Written larger than the plot's own size (`thin`: a phone's), words that
// would overlap the words before them move down until clear (the legend's
// lines, a pixel or two), and a scale's number that would crowd another label
// is left out (every other ring's, where the rings lie close, or a spoke's
// under the legend).
export function writeLabels(context, labels, thin = false) {
  context.textBaseline = 'middle';
  const font = (size, align) => {
    context.font = size + 'px ' + app.layout.captionFamilies;
    context.textAlign = align;
  };
  let shown = labels;
  if (thin) {
    const number = (label) => /^-?\d+$/.test(label[2]);
    // Across, two boxes overlap; down, they are less than `gap` apart.
    const near = (a, b, gap) => a[0] < b[2] && b[0] < a[2] && a[1] < b[3] + gap && b[1] < a[3] + gap;
    const boxes = labels.map(([x, y, text, , align, size]) => {
      font(size, align);
      const m = context.measureText(text);
      return [x - m.actualBoundingBoxLeft, y - m.actualBoundingBoxAscent, x + m.actualBoundingBoxRight,
        y + m.actualBoundingBoxDescent];
    });
    const down = labels.map(() => 0);
    const kept = [];
    labels.forEach((label, i) => {
      if (number(label)) return;
      const box = boxes[i];
      for (const j of kept) {
        const gap = label[5] / 12;
        if (!near(box, boxes[j], gap)) continue;
        const move = boxes[j][3] + gap - box[1];
        box[1] += move;
        box[3] += move;
        down[i] += move;
      }
      kept.push(i);
    });
    labels.forEach((label, i) => {
      if (number(label) && !kept.some((j) => near(boxes[i], boxes[j], label[5] / 2))) kept.push(i);
    });
    shown = labels.map(([x, y, ...rest], i) => kept.includes(i) && [x, y + down[i], ...rest]).filter(Boolean);
  }
  for (const [x, y, text, colour, align, size, over] of shown) {
    font(size, align);
    context.fillStyle = colour;
    // The text's ink, a pixel more all round, without the pixels lines drawn
    // after it changed, where they cross it; most labels no line crosses.
    let ink = null;
    if (over.length) {
      const m = context.measureText(text);
      ink = [Math.floor(x - m.actualBoundingBoxLeft) - 1, Math.floor(y - m.actualBoundingBoxAscent) - 1,
        Math.ceil(x + m.actualBoundingBoxRight) + 1, Math.ceil(y + m.actualBoundingBoxDescent) + 1];
    }
    const crossing = ink ? over.filter(([ox, oy, length]) => oy >= ink[1] && oy < ink[3] && ox < ink[2] && ox + length > ink[0]) : [];
    if (crossing.length) {
      context.save();
      context.beginPath();
      context.rect(ink[0], ink[1], ink[2] - ink[0], ink[3] - ink[1]);
      for (const [ox, oy, length] of crossing) context.rect(ox, oy, length, 1);
      context.clip('evenodd');
      context.fillText(text, x, y);
      context.restore();
    } else {
      context.fillText(text, x, y);
    }
  }
}

const keepButton = byId('KeepButton');

// Shows what the module says the page shows after one of its actions (JSON,
// as glue.cpp's ShownJson writes it): the plot's pixels and labels, the
// state for the address, whether Keep is offered, the datasheet view's switch, the sliders' spoken
// values, and the figures of the details panel while it is open. Returns it.
export function show(json) {
  const shown = JSON.parse(json);
  if (canvas.width !== shown.width) canvas.width = shown.width;
  if (canvas.height !== shown.height) canvas.height = shown.height;
  const bytes = new Uint8ClampedArray(app.module.HEAPU8.buffer, shown.pixels, shown.width * shown.height * 4);
  app.canvasContext.putImageData(new ImageData(bytes, shown.width, shown.height), 0, 0);
  writeLabels(app.canvasContext, shown.labels, smallestLabel > 0);
  shown.spoken.forEach((said, i) => {
    const slider = document.getElementById(app.layout.sliders[i]);
    if (slider && said) slider.setAttribute('aria-valuetext', said);
  });
  showView(shown.range);
  app.drawn = shown.drawn;
  keepButton.disabled = !shown.canKeep; // nothing to keep on an empty plot
  app.state = shown.state;
  if (shown.details) showDetails(shown.details);
  return shown;
}

// Runs one of the module's actions for the user (a call that returns what the
// page shows), shows what it yields, and keeps the address and the printed
// plot up to date with it.
export function run(action) {
  const shown = show(text(action()));
  keepAddress();
  schedulePrint();
  return shown;
}

// The canvas at the screen's own resolution: its pixels are its CSS size
// times the device pixel ratio (and the window's scale), and the module
// draws the picture again at that scale. The layout table's window at its
// own size keeps the ratio it started with, pixel for pixel the desktop's.
let canvasRatio = 0;
let smallestLabel = 0; // in the canvas's pixels, where the page asks for labels larger than the plot's
export function startCanvas(ratio, started) {
  canvasRatio = ratio;
  app.canvasContext = canvas.getContext('2d');
  show(started);
}

export function sizeCanvas() {
  const module = app.module;
  if (!module) return;
  const layout = app.layout;
  const dpr = window.devicePixelRatio || 1;
  const style = getComputedStyle(gra);
  const inside = Number.parseFloat(style.width) - Number.parseFloat(style.borderLeftWidth) -
    Number.parseFloat(style.borderRightWidth);
  const native = inside === layout.canvasWidth && app.windowScale === 1;
  // With whole device pixels to a CSS pixel, the canvas is a whole number of
  // CSS pixels each way, which the browser shows unscaled.
  const scale = dpr * app.windowScale;
  const whole = !native && Number.isInteger(scale) ? scale : 1;
  const across = Math.floor((inside * scale + 1e-6) / whole) * whole;
  const ratio = native ? dpr : across / layout.canvasWidth;
  if (!(ratio > 0)) return;
  // On a phone or a tablet the labels are at least 12 CSS pixels, as the
  // rest of the page's text; at the window's layout, the desktop's own size.
  const smallest = touchLayout() ? 12 * scale : 0;
  if (ratio !== canvasRatio || smallest !== smallestLabel) {
    canvasRatio = ratio;
    smallestLabel = smallest;
    show(text(module._orvane_resize(ratio, whole, smallest)));
  }
  canvas.style.width = (native ? layout.canvasWidth : canvas.width / scale) + 'px';
  canvas.style.height = (native ? layout.canvasHeight : canvas.height / scale) + 'px';
}
if (window.ResizeObserver) new ResizeObserver(() => sizeCanvas()).observe(gra);
