// Texts that fit their boxes, and which arrangement the page shows.
import { win } from './state.js';

// Which arrangement page.css chose: the layout table's, or the one for
// fingers and small screens.
export const touchLayout = () => getComputedStyle(win).getPropertyValue('--layout').trim() === 'touch';

// A text for a small box may come with shorter forms after U+009C, longest
// first: the box shows the longest that fits, as Qt's labels and buttons do,
// and a shortened one keeps its full form as its name and tooltip.
export const fitted = [];
function fits(element) {
  const range = document.createRange();
  range.selectNodeContents(element);
  const text = range.getBoundingClientRect();
  const box = element.getBoundingClientRect();
  const scale = box.width / (element.offsetWidth || 1);
  const left = box.left + element.clientLeft * scale;
  const top = box.top + element.clientTop * scale;
  return text.left >= left - 0.5 && text.right <= left + element.clientWidth * scale + 0.5 &&
    text.top >= top - 0.5 && text.bottom <= top + element.clientHeight * scale + 0.5;
}
export function fitTexts() {
  for (const { element, forms, title, room } of fitted) {
    let shown = 0;
    element.textContent = forms[0];
    // Where the language's word is wider than the box and there is room
    // beside it, the box grows rather than the word shortens (the layout
    // table's arrangement only; the touch layout flows).
    if (room) {
      element.style.width = room.base + 'px';
      if (!touchLayout() && !fits(element)) element.style.width = room.wide + 'px';
    }
    while (shown + 1 < forms.length && !fits(element)) element.textContent = forms[++shown];
    if (shown > 0) {
      element.setAttribute('aria-label', forms[0]);
      element.title = title || forms[0];
    } else {
      element.removeAttribute('aria-label');
      if (title) element.title = title;
      else element.removeAttribute('title');
    }
  }
}
