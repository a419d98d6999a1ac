// The stereo pair's panel: its plot and curve (the module's pixels, with the
// labels plot.js writes), its controls and its figures, shown while a
// snapshot has a pair; under the window, in the touch layout under the plot.
import { app, frame, win, gra, byId } from './state.js';
import { store } from './store.js';
import { touchLayout } from './fit.js';
import { writeLabels } from './plot.js';

const panel = byId('PairPanel');
const pairButton = byId('StereoPairButton');
const detailsPanel = byId('DetailsPanel');
const angle = byId('PairAngle');
const side = byId('PairSide');
const radios = [byId('PairXy'), byId('PairMs')];
const rows = byId('PairFigures').children;
let open = false; // as last drawn

// A drawing of the snapshot's pair onto its canvas, at the CSS size of the
// plot's scale: the main canvas's pixels to a CSS pixel.
function draw(canvas, drawing) {
  if (canvas.width !== drawing.width) canvas.width = drawing.width;
  if (canvas.height !== drawing.height) canvas.height = drawing.height;
  const context = canvas.getContext('2d');
  context.putImageData(new ImageData(store.pixels(drawing), drawing.width, drawing.height), 0, 0);
  writeLabels(context, drawing.labels, touchLayout());
  const scale = (window.devicePixelRatio || 1) * app.windowScale;
  canvas.style.width = drawing.width / scale + 'px';
  canvas.style.height = drawing.height / scale + 'px';
}

const write = (element, text) => { if (element.textContent !== text) element.textContent = text; };

// Under the window, at its left; in the touch layout in the grid, under the
// plot (and the details, when they are open).
export function placePair() {
  if (!open) return;
  if (touchLayout()) {
    const after = detailsPanel.parentNode === frame ? detailsPanel : gra;
    if (after.nextSibling !== panel) frame.insertBefore(panel, after.nextSibling);
    panel.style.left = panel.style.top = '';
  } else {
    if (panel.parentNode !== document.body) document.body.appendChild(panel);
    const box = win.getBoundingClientRect();
    panel.style.left = Math.round(box.left + window.scrollX) + 'px';
    panel.style.top = Math.round(box.bottom + window.scrollY + 8) + 'px';
  }
  frame.classList.toggle('with-pair', touchLayout());
}

export function showPair(shown, action) {
  const { pair } = shown;
  const opened = !!pair && !open;
  if (!pair !== !open) {
    open = !!pair;
    panel.hidden = !open;
    if (!open) {
      frame.classList.remove('with-pair');
      if (panel.contains(document.activeElement)) pairButton.focus();
    }
  }
  if (!pair) return;
  // Drawn where the action changed them, and afresh at the start, after a
  // resize and as the panel opens.
  if (pair.drawn || !action || opened) {
    draw(byId('PairPlot'), pair.plot);
    draw(byId('PairCurve'), pair.curve);
  }
  radios[pair.technique].checked = true;
  byId('PairAngleRow').hidden = pair.technique !== 0;
  byId('PairSideRow').hidden = pair.technique !== 1;
  angle.value = pair.angle;
  angle.setAttribute('aria-valuetext', pair.spokenAngle);
  side.value = pair.side;
  side.setAttribute('aria-valuetext', pair.spokenSide);
  write(byId('PairSideReadout'), pair.sideReadout);
  write(byId('PairDescription'), pair.description);
  // The figures; those at the source only where there is one (not in OrvaneLite).
  pair.figures.forEach((figure, i) => {
    const row = rows[i];
    write(row.firstChild, app.layout.pairFigures[i]);
    write(row.lastChild, figure);
    row.hidden = !figure;
  });
  if (opened) placePair();
  // Opened by the user (again, by its key): with the focus.
  if (action && action.action === 'StereoPairAction') {
    placePair();
    panel.focus({ preventScroll: true });
    panel.scrollIntoView({ block: 'nearest' });
  }
}

// The controls: each change one action of the module's.
const set = (technique, value) => store.dispatch({ kind: 'pair', technique, value });
angle.addEventListener('input', () => set(0, Number(angle.value)));
side.addEventListener('input', () => set(1, Number(side.value)));
radios.forEach((radio, technique) => radio.addEventListener('change', () => {
  const { pair } = store.snapshot;
  set(technique, technique ? pair.side : pair.angle);
}));
byId('PairBlumlein').addEventListener('click', () => store.dispatch({ kind: 'blumlein' }));
