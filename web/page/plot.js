// The plot: the module's pixels copied to the canvas, with the labels the
// browser's text engine writes, and what follows each of the module's handlers.
import { app, canvas, gra } from './state.js';
import { keepAddress, schedulePrint } from './figures.js';
import { showDetails } from './details.js';
import { showView } from './view.js';

// The plot's labels (the datasheet view's), which the module's rasteriser
// leaves to the browser's text engine: [[x, y, text, colour, align, size]].
export function writeLabels(context, at) {
  const labels = JSON.parse(app.module.UTF8ToString(at) || '[]');
  context.textBaseline = 'middle';
  for (const [x, y, text, colour, align, size] of labels) {
    context.font = size + 'px ' + app.layout.captionFamilies;
    context.fillStyle = colour;
    context.textAlign = align;
    context.fillText(text, x, y);
  }
}

export function blit() {
  const module = app.module;
  const w = module._orvane_canvas_width();
  const h = module._orvane_canvas_height();
  const bytes = new Uint8ClampedArray(module.HEAPU8.buffer, app.pixels, w * h * 4);
  app.canvasContext.putImageData(new ImageData(bytes, w, h), 0, 0);
  writeLabels(app.canvasContext, module._orvane_plot_labels());
  showView();
}

// Runs one of the module's handlers and shows what it drew. Returns whether
// the handler ran to its end.
export function run(handler) {
  const done = handler();
  blit();
  keepAddress();
  app.drawn = true;
  schedulePrint();
  if (app.detailsOpen) showDetails();
  return done === 1;
}

// The canvas at the screen's own resolution: its pixels are its CSS size
// times the device pixel ratio (and the window's scale), and the module
// draws the picture again at that scale. The layout table's window at its
// own size keeps the ratio it started with, pixel for pixel the desktop's.
let canvasRatio = 0;
export function startCanvas(ratio) {
  canvasRatio = ratio;
  canvas.width = app.module._orvane_canvas_width();
  canvas.height = app.module._orvane_canvas_height();
  app.canvasContext = canvas.getContext('2d');
  blit();
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
    app.pixels = module._orvane_resize(ratio, whole);
    canvas.width = module._orvane_canvas_width();
    canvas.height = module._orvane_canvas_height();
    blit();
  }
  canvas.style.width = (native ? layout.canvasWidth : canvas.width / scale) + 'px';
  canvas.style.height = (native ? layout.canvasHeight : canvas.height / scale) + 'px';
}
if (window.ResizeObserver) new ResizeObserver(() => sizeCanvas()).observe(gra);
