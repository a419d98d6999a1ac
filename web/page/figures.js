// The plot as a figure (printed, saved as PNG or SVG) and the state in the
// address, to share.
import { app, gra, byId, announce } from './state.js';
import { store } from './store.js';
import { writeLabels } from './plot.js';

// The plot's pixels at a whole scale, with its labels, on `context`; null
// when the module has no figure.
function drawFigure(scale, sized) {
  const figure = store.figure(scale);
  if (!figure) return null;
  const { pixels, width: w, height: h, labels, caption } = figure;
  const context = sized(w, h);
  context.putImageData(new ImageData(pixels, w, h), 0, 0);
  writeLabels(context, labels);
  return { context, w, h, caption };
}

// The plot for the printer: the figure's pixels at four times the window's
// size, shown in place of the canvas by the print style. Nothing until the
// plot was first drawn: a blank plot prints as it shows.
let printTimer = 0;
let printCanvas = null;
function drawForPrint() {
  clearTimeout(printTimer);
  printTimer = 0;
  const drawn = drawFigure(4, (w, h) => {
    if (!printCanvas) {
      printCanvas = document.createElement('canvas');
      printCanvas.id = 'PrintPlot';
      printCanvas.setAttribute('aria-hidden', 'true');
      gra.appendChild(printCanvas);
    }
    printCanvas.width = w;
    printCanvas.height = h;
    printCanvas.style.width = app.layout.canvasWidth + 'px';
    printCanvas.style.height = app.layout.canvasHeight + 'px';
    return printCanvas.getContext('2d');
  });
  if (drawn) document.documentElement.classList.add('print-plot');
}
function schedulePrint() {
  if (!store.snapshot.drawn) return;
  clearTimeout(printTimer);
  printTimer = setTimeout(drawForPrint, 250);
}

// The address holds the state shown, replaced rather than added to the
// history one step at a time; at most a few times a second, as browsers
// refuse a flood of replacements (Safari after 100 in 30 seconds).
let addressTimer = 0;
function keepAddress() {
  if (!addressTimer) addressTimer = setTimeout(writeAddress, 200);
}
function writeAddress() {
  clearTimeout(addressTimer);
  addressTimer = 0;
  const { state } = store.snapshot;
  if (!state || location.hash === '#' + state) return;
  try {
    history.replaceState(history.state, '', '#' + state);
  } catch (e) {
    location.replace('#' + state); // a fragment alone: no reload
  }
}

// The state in the address the page was opened with. One that is no state
// is named in the error box (by the store), and the page is as if opened without it.
export function showAddressState() {
  let state = location.hash.slice(1);
  if (!state) return;
  try {
    state = decodeURIComponent(state);
  } catch (e) { /* shown back as it stands */ }
  store.dispatch({ kind: 'state', text: state });
}

// After the user's action through the module: the address and the printed
// plot follow it; a state from the address is there already.
export function showFigures(shown, action) {
  if (!action) return;
  if (shown.refused) {
    try {
      history.replaceState(history.state, '', location.pathname + location.search);
    } catch (e) { /* the address keeps it; the page shows none of it */ }
    return;
  }
  // The stereo pair shown, hidden or changed changes the state, not the plot.
  const pairChanged = (shown.pair && shown.pair.drawn) || action.action === 'StereoPairAction';
  if (action.kind !== 'state' && (shown.plotChanged || pairChanged)) keepAddress();
  if (shown.plotChanged) schedulePrint();
}

// The figure of the state shown: the plot's pixels at a whole scale with the
// caption band under it, as a PNG; or the module's SVG.
function download(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

const figureName = (suffix) => 'orvane-' + store.snapshot.state.replace(/[^a-z0-9-]+/gi, '-') + suffix;

export function figureCanvas(scale) {
  const layout = app.layout;
  const band = layout.captionBand * scale;
  const figure = document.createElement('canvas');
  const drawn = drawFigure(scale, (w, h) => {
    figure.width = w;
    figure.height = h + band;
    return figure.getContext('2d');
  });
  if (!drawn) return null;
  const { context, w, h, caption } = drawn;
  context.fillStyle = '#ffffff';
  context.fillRect(0, h, w, band);
  context.fillStyle = '#000000';
  context.font = layout.captionPixels * scale + 'px ' + layout.captionFamilies;
  context.textAlign = 'center';
  context.textBaseline = 'middle';
  context.fillText(caption, w / 2, h + band / 2);
  return figure;
}

function savePng() {
  const scale = Math.min(8, Math.max(1, Math.round(window.devicePixelRatio || 1)));
  const figure = figureCanvas(scale);
  if (figure) figure.toBlob((blob) => download(blob, figureName('.png')), 'image/png');
}

function saveSvg() {
  const svg = store.figureSvg(1);
  if (svg) download(new Blob([svg], { type: 'image/svg+xml' }), figureName('.svg'));
}

// The address of this state: the system's share sheet where the browser has
// one, else a copy to the clipboard, said aloud.
async function share() {
  writeAddress();
  const url = location.href;
  if (navigator.share) {
    try {
      await navigator.share({ title: document.title, url });
      return;
    } catch (e) {
      if (e && e.name === 'AbortError') return; // the user closed the sheet
    }
  }
  let copied = false;
  try {
    await navigator.clipboard.writeText(url);
    copied = true;
  } catch (e) {
    const field = document.createElement('textarea');
    field.value = url;
    document.body.appendChild(field);
    field.select();
    copied = document.execCommand('copy');
    field.remove();
  }
  if (copied) announce(app.texts.linkCopied);
}

// The title bar's Share and Save image (a menu: its button is this region's
// to drive), and printing; wired once the module runs.
const saveButton = byId('SaveImageButton');
const saveMenu = byId('SaveImageMenu');
export const figureButtons = {
  SaveImageAction: () => {
    if (!store.module) return;
    saveMenu.hidden = !saveMenu.hidden;
    saveButton.setAttribute('aria-expanded', String(!saveMenu.hidden));
    if (!saveMenu.hidden) byId('SavePng').focus();
  },
};
export function startFigures() {
  const closeSaveMenu = () => { saveMenu.hidden = true; saveButton.setAttribute('aria-expanded', 'false'); };
  document.addEventListener('click', (event) => {
    if (!saveMenu.hidden && !byId('SaveImage').contains(event.target)) closeSaveMenu();
  });
  saveMenu.addEventListener('keydown', (event) => { if (event.key === 'Escape') { closeSaveMenu(); saveButton.focus(); } });
  byId('SavePng').addEventListener('click', () => { closeSaveMenu(); savePng(); });
  byId('SaveSvg').addEventListener('click', () => { closeSaveMenu(); saveSvg(); });
  byId('ShareButton').addEventListener('click', () => share());
  // Printed, the plot is a copy drawn at four times its size, crisp on
  // paper: kept up to date a moment after the last move, and at once when
  // the browser says it prints.
  window.addEventListener('beforeprint', () => { if (printTimer) drawForPrint(); });
}
