// The plot: the module's pixels copied to the canvas, with the labels the
// browser's text engine writes, and what follows each of the module's handlers.
import { app, canvas, gra, text, byId } from './state.js';
import { keepAddress, schedulePrint } from './figures.js';
import { showDetails } from './details.js';
import { showView } from './view.js';

// The plot's labels (the datasheet view's), which the module's rasteriser
// leaves to the browser's text engine: [[x, y, text, colour, align, size]].
export function writeLabels(context, labels) {
  context.textBaseline = 'middle';
  for (const [x, y, text, colour, align, size] of labels) {
    context.font = size + 'px ' + app.layout.captionFamilies;
    context.fillStyle = colour;
    context.textAlign = align;
    context.fillText(text, x, y);
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
  writeLabels(app.canvasContext, shown.labels);
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
  if (ratio !== canvasRatio) {
    canvasRatio = ratio;
    show(text(module._orvane_resize(ratio, whole)));
  }
  canvas.style.width = (native ? layout.canvasWidth : canvas.width / scale) + 'px';
  canvas.style.height = (native ? layout.canvasHeight : canvas.height / scale) + 'px';
}
if (window.ResizeObserver) new ResizeObserver(() => sizeCanvas()).observe(gra);
