// The datasheet view's switch and its range, as the module holds them.
import { app, byId, announce } from './state.js';
import { run } from './plot.js';

const dbButton = byId('DbButton');
const rangeChoice = byId('RangeChoice');

// The switch as the module says the view is: `range` dB while the datasheet
// view shows, 0 in the linear view.
export function showView(range) {
  dbButton.setAttribute('aria-pressed', String(range !== 0));
  // The range belongs to the datasheet view: shown while it is.
  rangeChoice.hidden = range === 0;
  if (range) rangeChoice.value = String(range);
}

function setView(on, range) {
  const { said } = run(() => app.module._orvane_set_view(on ? 1 : 0, range || 0));
  if (said) announce(said);
}

export const toggleView = () => setView(dbButton.getAttribute('aria-pressed') !== 'true', 0);
dbButton.addEventListener('click', () => app.module && toggleView());
rangeChoice.addEventListener('change', () => app.module && setView(true, Number(rangeChoice.value)));
