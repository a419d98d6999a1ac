// The page's controls and their events. Every handler is the desktop's, run by
// the WebAssembly module (glue.cpp) through the store (store.js), which holds
// what the module says is shown; each region of the page is a view of that,
// and sends the user's actions to the store. This one wires them and starts
// the page.
import { hooks, loading } from './loading.js';
import { app, frame, win, gra, byId, announce, showError } from './state.js';
import { store } from './store.js';
import { fitted } from './fit.js';
import { showPlot, startCanvas } from './plot.js';
import { sliders, showSliders } from './sliders.js';
import { showButtons, startButtons } from './buttons.js';
import { playSound } from './sound.js';
import { figureButtons, figureCanvas, showAddressState, showFigures, startFigures } from './figures.js';
import { detailsButtons, showDetails } from './details.js';
import { showPair } from './pair.js';
import { showView } from './view.js';
import { fitWindow, watchResolution } from './layout.js';

// The user's languages, in order: ?lang=CODE in the address first, then the
// browser's. The module picks the first it has texts for (English else), as
// the desktop does; numbers take that language's decimal separator.
const languages = (() => {
  const asked = new URLSearchParams(location.search).get('lang');
  const valid = (code) => typeof code === 'string' && /^[A-Za-z0-9_-]{1,35}$/.test(code);
  const browser = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language];
  return [asked].concat(Array.from(browser)).filter(valid).join(',');
})();

// A language's texts, which the page carries as text, joined by "|"
// (make_page.mjs): the module asks for those of the language it chooses.
hooks.catalogue = (code) => ORVANE_CATALOGUES[code]?.split('|');

// The views, in this order: a sound that cannot start makes a newer
// snapshot before any other view shows the one that asked for it.
for (const view of [playSound, showPlot, showSliders, showButtons, showDetails, showPair, showView, showFigures,
  ({ error, said }) => { if (error) showError(error); if (said) announce(said); }]) store.subscribe(view);
startButtons({ ...figureButtons, ...detailsButtons });

// Every text of the page in the language the module chose.
function showLanguage(code) {
  document.documentElement.lang = code;
  const layout = app.layout = store.layout(app.layout.edition === 'Orvane' ? 0 : 1);
  const texts = app.texts = layout.texts;
  app.separator = layout.decimalSeparator;
  for (const c of layout.controls) {
    const element = byId(c.name);
    if (!element) continue;
    if (c.description) element.setAttribute('aria-description', c.description);
    if (c.kind === 'button' || (c.kind === 'label' && c.captionOf)) {
      // A caption that may grow over free room beside it, as on the desktop.
      const room = c.roomTo ? { base: c.width / layout.twipsPerPixel, wide: (c.roomTo - c.left) / layout.twipsPerPixel } : null;
      fitted.push({ element, forms: c.text.split('\u009c'), room });
    } else if (c.accessibleName) {
      element.setAttribute('aria-label', c.accessibleName);
    }
  }
  gra.setAttribute('aria-description', texts.listenHint);
  const maximiseButton = byId('Maximise');
  maximiseButton.title = texts.maximise;
  maximiseButton.querySelector('.visually-hidden').textContent = texts.maximise;
  byId('ErrorOk').textContent = texts.ok;
  // The title bar's buttons may carry shorter forms, as the window's do.
  for (const { id, text, title } of [{ id: 'ShareButton', text: texts.share }, ...layout.actions]) {
    const element = byId(id);
    if (element) fitted.push({ element, forms: text.split('\u009c'), title });
  }
  for (const [id, name] of [['SavePng', 'savePng'], ['SaveSvg', 'saveSvg'], ['DetailsTitle', 'detailsTitle'],
    ['DetailsMessage', 'detailsNoPattern'], ['PairTitle', 'pairTitle'], ['PairTechniqueTitle', 'pairTechnique'],
    ['PairXyText', 'pairXy'], ['PairMsText', 'pairMs'], ['PairAngleLabel', 'pairAngle'], ['PairSideLabel', 'pairSide'],
    ['PairBlumlein', 'pairBlumlein']]) {
    byId(id).textContent = texts[name];
  }
  byId('PairPlot').setAttribute('aria-label', texts.pairPlot);
  byId('PairCurve').setAttribute('aria-label', texts.pairCurve);
  const headings = document.querySelectorAll('#DetailsTable thead th');
  [texts.detailsFigure, texts.detailsCurrent, texts.detailsKept].forEach((heading, i) => { headings[i].textContent = heading; });
}

// A touch on a button focuses it as a click does, without scrolling the page
// to it (a touched button gets no focus of the browser's own, and a focus
// from here would scroll a button partly off the screen into view, under
// the finger). The mouse's own focus scrolls nothing and leaves no focus
// ring after a click, so a click is left to the browser.
for (const button of document.querySelectorAll('#Window button')) {
  button.addEventListener('pointerdown', (event) => {
    if (event.button === 0 && event.pointerType !== 'mouse') button.focus({ preventScroll: true });
  });
}

function start(loaded) {
  showLanguage(store.load(loaded, languages));

  const ratio = window.devicePixelRatio || 1;
  startCanvas(ratio);
  store.start(app.layout.edition === 'Orvane' ? 0 : 1, ratio, app.separator);
  for (const slider of sliders) if (slider) slider.show();
  watchResolution();
  fitWindow();

  for (const button of frame.querySelectorAll('button[data-preset]')) {
    const value = Number(button.dataset.preset);
    button.addEventListener('click', () => store.dispatch({ kind: 'preset', value }));
  }
  showAddressState();
  startFigures();
  win.classList.remove('starting');
  gra.focus();
  document.documentElement.dataset.ready = 'true';
  performance.mark('orvane-ready');
}

// For the benchmark: the module, and a level slider's handler as the page runs
// it; the announcer, for whatever else the page has to say; and the last
// snapshot, whose labels the pixel comparison leaves to each face's text engine.
window.OrvanePage = {
  get module() { return store.module; },
  get snapshot() { return store.snapshot; },
  redraw: () => store.dispatch({ kind: 'move', slider: 0, value: store.snapshot.sliders[0] }),
  figureCanvas,
  announce,
};

// Served over http or https the page is an installable app that works
// offline: its manifest, and the service worker that keeps both pages. From
// the file system it stays one file that asks for nothing.
const served = location.protocol === 'https:' || location.protocol === 'http:';
if (served) {
  const manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = app.layout.edition + '.webmanifest';
  document.head.appendChild(manifest);
  const touchIcon = document.createElement('link');
  touchIcon.rel = 'apple-touch-icon';
  touchIcon.href = 'icons/orvane-192.png';
  document.head.appendChild(touchIcon);
}
function keepOffline() {
  // Without the worker (a private window, a host that forbids it) the page
  // works as before, online; nothing to tell the user.
  if (served && 'serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
}

// The program starts in a task of its own. The module can be ready in a
// microtask that runs between two resize observers' callbacks of one frame
// (the plot's and a slider's); started there, the page's layout changes under
// the observers, and WebKit reports the observations it then skips as an
// error ("Script error." in a page opened from a file).
loading.then((loaded) => setTimeout(() => { start(loaded); keepOffline(); }),
  (error) => showError('The program could not start: ' + error));
