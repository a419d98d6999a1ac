// What the page's parts share: the layout and its texts in the user's
// language, the elements every part touches, and the page's two ways of
// speaking to the user, the error box and the live region.

export const app = {
  layout: ORVANE_LAYOUT, // in English until the module gives the user's language
  texts: ORVANE_LAYOUT.texts,
  separator: '.',
  windowScale: 1,
};

export const frame = document.getElementById('OrvaneFrm');
export const win = document.getElementById('Window');
export const gra = document.getElementById('gra');
export const canvas = gra.querySelector('canvas');
export const byId = (id) => document.getElementById(id);

// `template` with %1 replaced by `text`.
export const fill = (template, text) => template.replace('%1', () => text);

const errorBox = byId('ErrorBox');
export function showError(message) {
  byId('ErrorText').textContent = fill(app.texts.error, message);
  errorBox.hidden = false;
  byId('ErrorOk').focus();
}
byId('ErrorOk').addEventListener('click', () => { errorBox.hidden = true; });
window.addEventListener('error', (event) => showError(String(event.message)));
window.addEventListener('unhandledrejection', (event) => showError(String(event.reason)));

// Says `text` once, politely, through the one live region: what an action
// did, in the desktop's words. The same text again would change nothing in
// the region and so be heard nowhere: it then ends in a no-break space.
const announcer = byId('Announcer');
export function announce(said) {
  announcer.textContent = announcer.textContent === said ? said + '\u00A0' : said;
}
