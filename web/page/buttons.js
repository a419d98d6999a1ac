// The title bar's buttons of the action table (its page entries), and the
// plot's letters for them, wherever the focus is in the window but on a
// control that takes letters (the range's choice). A button sends its action,
// a switch turned the other way; the regions that drive a button themselves
// (a menu, a panel) hand their handlers to startButtons.
import { app, win, byId } from './state.js';
import { store } from './store.js';

const choose = (action, on) => store.dispatch({ kind: 'choose', action, on });
const checked = (name) => !!(store.snapshot && store.snapshot.actions[name].checked);
const buttons = app.layout.actions.map((entry) => [entry, byId(entry.id)]).filter(([, button]) => button);

export function startButtons(own) {
  for (const [{ name }, button] of buttons) button.addEventListener('click', own[name] || (() => choose(name, !checked(name))));
}

// Each as the snapshot says: enabled, and a switch's state (written where
// it changed: most actions change neither).
const drawn = {};
export function showButtons({ actions }) {
  for (const [{ name, checkable }, button] of buttons) {
    const { enabled, checked } = actions[name];
    const state = String(checked) + enabled;
    if (drawn[name] === state) continue;
    drawn[name] = state;
    button.disabled = !enabled;
    if (checkable) button.setAttribute(button.getAttribute('role') === 'switch' ? 'aria-checked' : 'aria-pressed', String(checked));
  }
}

win.addEventListener('keydown', (event) => {
  if (event.target.closest('select, input, textarea, [contenteditable]')) return;
  const key = event.key.toLowerCase();
  const entry = app.layout.actions.find((a) => a.letter && a.letter.toLowerCase() === key);
  if (!entry || event.altKey || event.ctrlKey || event.metaKey) return;
  event.preventDefault();
  if (!event.repeat) choose(entry.name, !entry.checkable || !checked(entry.name));
});
