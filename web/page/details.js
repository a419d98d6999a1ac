// The pattern's figures, in a panel beside the window (in the touch layout,
// under the plot), and the kept pattern's beside the current ones; the
// comparison's buttons. The rows come from the module, with their texts.
import { frame, win, gra, byId } from './state.js';
import { store } from './store.js';
import { touchLayout, fitTexts } from './fit.js';

const detailsPanel = byId('DetailsPanel');
const detailsButton = byId('DetailsButton');
const keepButton = byId('KeepButton');
const clearKeptButton = byId('ClearKeptButton');
let open = false; // as last drawn

// The figures as the module gives them (glue.cpp's DetailsJson).
function showFigures(details) {
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
  if (!open) return;
  if (touchLayout()) {
    if (detailsPanel.parentNode !== frame) frame.insertBefore(detailsPanel, gra.nextSibling);
    detailsPanel.style.left = detailsPanel.style.top = '';
  } else {
    if (detailsPanel.parentNode !== document.body) win.after(detailsPanel);
    const box = win.getBoundingClientRect();
    detailsPanel.style.left = Math.round(box.right + window.scrollX + 8) + 'px';
    detailsPanel.style.top = Math.round(box.top + window.scrollY) + 'px';
  }
  frame.classList.toggle('with-details', touchLayout());
}

export function showDetails(shown, action) {
  const { details } = shown;
  if (details) showFigures(details);
  if (!details !== !open) {
    open = !!details;
    detailsButton.setAttribute('aria-expanded', String(open));
    detailsPanel.hidden = !open;
    if (!open) {
      frame.classList.remove('with-details');
      if (detailsPanel.contains(document.activeElement)) detailsButton.focus();
    }
  }
  // Opened by the user (again, by its key): where it is, with the focus.
  if (open && action && action.action === 'DetailsAction') {
    placeDetails();
    detailsPanel.focus();
  }
  const comparing = shown.actions.ClearKeptAction.enabled;
  if (clearKeptButton.hidden === comparing) {
    clearKeptButton.hidden = !comparing;
    fitTexts(); // the button shown takes the longest form that fits
  }
}

// The buttons this region drives itself: Details opens and closes the panel;
// Clear comparison hands the focus to Keep as it goes away.
export const detailsButtons = {
  DetailsAction: () => store.dispatch({ kind: 'choose', action: 'DetailsAction', on: !open }),
  ClearKeptAction: () => {
    if (!store.module) return;
    store.dispatch({ kind: 'choose', action: 'ClearKeptAction', on: true });
    keepButton.focus();
  },
};
