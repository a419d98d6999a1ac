// The plot: the module's pixels copied to the canvas, with the labels the
// browser's text engine writes, and its description for a screen reader.
import { app, canvas, gra } from './state.js';
import { store } from './store.js';
import { touchLayout } from './fit.js';

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

const context = canvas.getContext('2d');
let described = null;

// The plot as a snapshot shows it: its pixels and labels where an action
// changed them, and at the start and after a resize (no action), where the
// canvas takes them afresh; and what it shows in words as the plot's name.
export function showPlot(shown, action) {
  if (shown.plotChanged || !action) {
    if (canvas.width !== shown.width) canvas.width = shown.width;
    if (canvas.height !== shown.height) canvas.height = shown.height;
    context.putImageData(new ImageData(store.pixels(shown), shown.width, shown.height), 0, 0);
    writeLabels(context, shown.labels, smallestLabel > 0);
  }
  if (shown.description && shown.description !== described) {
    described = shown.description;
    gra.setAttribute('aria-label', app.texts.plot + '. ' + described);
  }
}

// The canvas at the screen's own resolution: its pixels are its CSS size
// times the device pixel ratio (and the window's scale), and the module
// draws the picture again at that scale. The layout table's window at its
// own size keeps the ratio it started with, pixel for pixel the desktop's.
let canvasRatio = 0;
let smallestLabel = 0; // in the canvas's pixels, where the page asks for labels larger than the plot's
export function startCanvas(ratio) {
  canvasRatio = ratio;
}

export function sizeCanvas() {
  if (!store.snapshot) return;
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
    store.resize(ratio, whole, smallest);
  }
  canvas.style.width = (native ? layout.canvasWidth : canvas.width / scale) + 'px';
  canvas.style.height = (native ? layout.canvasHeight : canvas.height / scale) + 'px';
}
if (window.ResizeObserver) new ResizeObserver(() => sizeCanvas()).observe(gra);
