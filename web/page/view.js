// The datasheet view's switch and its range, as the module holds them.
import { app, byId, announce } from './state.js';
import { blit } from './plot.js';
import { keepAddress, schedulePrint } from './figures.js';

const dbButton = byId('DbButton');
const rangeChoice = byId('RangeChoice');

export function showView() {
  const range = app.module._orvane_view_range();
  dbButton.setAttribute('aria-pressed', String(range !== 0));
  // The range belongs to the datasheet view: shown while it is.
  rangeChoice.hidden = range === 0;
  if (range) rangeChoice.value = String(range);
}

function setView(on, range) {
  const said = app.module.UTF8ToString(app.module._orvane_set_view(on ? 1 : 0, range || 0));
  blit();
  keepAddress();
  schedulePrint();
  if (said) announce(said);
}

export const toggleView = () => setView(dbButton.getAttribute('aria-pressed') !== 'true', 0);
dbButton.addEventListener('click', () => app.module && toggleView());
rangeChoice.addEventListener('change', () => app.module && setView(true, Number(rangeChoice.value)));
