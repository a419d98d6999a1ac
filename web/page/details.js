// The pattern's figures, in a panel beside the window (in the touch layout,
// under the plot), and the kept pattern's beside the current ones. The rows
// come from the module, with their texts.
import { app, frame, win, gra, byId, text, announce } from './state.js';
import { run } from './plot.js';
import { touchLayout, fitTexts } from './layout.js';

const detailsPanel = byId('DetailsPanel');
const detailsButton = byId('DetailsButton');
const keepButton = byId('KeepButton');
const clearKeptButton = byId('ClearKeptButton');

// The figures as the module gives them (glue.cpp's DetailsJson).
export function showDetails(details) {
  byId('DetailsMessage').hidden = !details.empty;
  const equation = byId('DetailsEquation');
  equation.hidden = details.empty;
  if (equation.textContent !== details.equation) equation.textContent = details.equation;
  const table = byId('DetailsTable');
  table.hidden = details.empty && !details.kept;
  detailsPanel.classList.toggle('comparing', details.kept);
  const body = table.tBodies[0];
  details.rows.forEach((row, i) => {
    const tr = body.rows[i] || body.insertRow();
    if (tr.cells.length === 0) {
      const th = document.createElement('th');
      th.scope = 'row';
      tr.appendChild(th);
      tr.insertCell().className = 'current';
      tr.insertCell().className = 'kept';
      tr.dataset.key = row.key;
    }
    const cells = [row.label, row.current, row.kept];
    cells.forEach((value, c) => { if (tr.cells[c].textContent !== value) tr.cells[c].textContent = value; });
  });
}

// Beside the window, at its right; in the touch layout in the grid, under the plot.
export function placeDetails() {
  if (touchLayout()) {
    if (detailsPanel.parentNode !== frame) frame.insertBefore(detailsPanel, gra.nextSibling);
    detailsPanel.style.left = detailsPanel.style.top = '';
  } else {
    if (detailsPanel.parentNode !== document.body) win.after(detailsPanel);
    const box = win.getBoundingClientRect();
    detailsPanel.style.left = Math.round(box.right + window.scrollX + 8) + 'px';
    detailsPanel.style.top = Math.round(box.top + window.scrollY) + 'px';
  }
  frame.classList.toggle('with-details', app.detailsOpen && touchLayout());
}

export function setDetailsOpen(open) {
  if (!app.module) return;
  app.detailsOpen = open;
  detailsButton.setAttribute('aria-expanded', String(open));
  detailsPanel.hidden = !open;
  const json = text(app.module._orvane_details(open ? 1 : 0));
  if (open) {
    if (json) showDetails(JSON.parse(json));
    placeDetails();
    detailsPanel.focus();
  } else {
    frame.classList.remove('with-details');
    if (detailsPanel.contains(document.activeElement)) detailsButton.focus();
  }
}

// Keeps the pattern as it stands for comparison (or lets it go) and says so.
export function keep(on) {
  const { said } = run(() => app.module._orvane_keep(on ? 1 : 0));
  if (!said) return;
  clearKeptButton.hidden = !on;
  fitTexts(); // the button shown takes the longest form that fits
  announce(said);
}

detailsButton.addEventListener('click', () => setDetailsOpen(!app.detailsOpen));
keepButton.addEventListener('click', () => app.module && keep(true));
clearKeptButton.addEventListener('click', () => {
  if (!app.module) return;
  keep(false);
  keepButton.focus(); // the button goes away
});
