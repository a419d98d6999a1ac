// The datasheet view's range, shown while the view is; its switch is the
// action table's (buttons.js).
import { byId } from './state.js';
import { store } from './store.js';

const rangeChoice = byId('RangeChoice');

// `range` dB while the datasheet view shows, 0 in the linear view.
let drawn = 0;
export function showView({ range }) {
  if (range !== drawn) rangeChoice.hidden = (drawn = range) === 0;
  if (range && rangeChoice.value !== String(range)) rangeChoice.value = String(range);
}

rangeChoice.addEventListener('change', () => store.dispatch({ kind: 'choose', action: 'Range' + rangeChoice.value + 'Action' }));
