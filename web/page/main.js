// The page's controls and their events. Every handler is the desktop's, run by
// the WebAssembly module (glue.cpp): these scripts move thumbs, forward the
// user's actions and copy the plot's pixels to the canvas. This one starts
// the page; the others each hold one role.
import { hooks, loading } from './loading.js';
import { app, frame, win, gra, byId, text, announce, showError } from './state.js';
import { run, startCanvas } from './plot.js';
import { sliders, sliderValue, setSlider } from './sliders.js';
import { probeSwitch } from './sound.js';
import { figureCanvas, showAddressState, startFigures } from './figures.js';
import './details.js';
import './view.js';
import { fitted, fitWindow, watchResolution } from './layout.js';

// The user's languages, in order: ?lang=CODE in the address first, then the
// browser's. The module picks the first it has texts for (English else), as
// the desktop does; numbers take that language's decimal separator.
const languages = (() => {
  const asked = new URLSearchParams(location.search).get('lang');
  const valid = (code) => typeof code === 'string' && /^[A-Za-z0-9_-]{1,35}$/.test(code);
  const browser = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language];
  return [asked].concat(Array.from(browser)).filter(valid).join(',');
})();

Object.assign(hooks, {
  // A language's texts, which the page carries as text: the module asks
  // for those of the language it chooses.
  catalogue: (code) => ORVANE_CATALOGUES[code],
  sliderValue,
  setSlider,
  setCaption: (i, caption) => {
    const element = byId(app.layout.captions[i]);
    if (!element) return 0;
    // The boxes are fixed and clip long values; the tooltip shows all of it.
    if (element.textContent !== caption) element.textContent = caption;
    element.title = caption;
    return 1;
  },
  // The plot's text alternative says what it shows.
  describePlot: (said) => gra.setAttribute('aria-label', app.texts.plot + '. ' + said),
  showError,
  announce,
});

// Every text of the page in the language the module chose.
function showLanguage(code) {
  document.documentElement.lang = code;
  const layout = app.layout = JSON.parse(text(app.module._orvane_layout(app.layout.edition === 'Orvane' ? 0 : 1)));
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
  const listenButton = byId('ListenButton');
  listenButton.textContent = texts.listen;
  listenButton.title = texts.listenTitle;
  if (probeSwitch) probeSwitch.textContent = texts.probeSound;
  const maximiseButton = byId('Maximise');
  maximiseButton.title = texts.maximise;
  maximiseButton.querySelector('.visually-hidden').textContent = texts.maximise;
  byId('ErrorOk').textContent = texts.ok;
  // The title bar's buttons may carry shorter forms, as the window's do.
  for (const [id, name] of [['ShareButton', 'share'], ['SaveImageButton', 'saveImage'], ['DetailsButton', 'detailsButton'],
    ['KeepButton', 'keepButton'], ['ClearKeptButton', 'clearKeptButton']]) {
    fitted.push({ element: byId(id), forms: texts[name].split('\u009c'), title: id === 'KeepButton' ? texts.keepAction : '' });
  }
  for (const [id, name] of [['SavePng', 'savePng'], ['SaveSvg', 'saveSvg'], ['DetailsTitle', 'detailsTitle'],
    ['DetailsMessage', 'detailsNoPattern']]) {
    byId(id).textContent = texts[name];
  }
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
  const module = app.module = loaded;
  showLanguage(module.ccall('orvane_set_language', 'string', ['string'], [languages]));

  const ratio = window.devicePixelRatio || 1;
  startCanvas(ratio, module.ccall('orvane_start', 'string', ['number', 'number', 'string'],
    [app.layout.edition === 'Orvane' ? 0 : 1, ratio, app.separator]));
  for (const slider of sliders) if (slider) slider.show();
  watchResolution();
  fitWindow();

  for (const button of frame.querySelectorAll('button[data-preset]')) {
    const index = Number(button.dataset.preset);
    button.addEventListener('click', () => {
      run(() => module._orvane_preset(index)); // it says the pattern through page.announce
    });
  }
  showAddressState();
  startFigures();
  win.classList.remove('starting');
  gra.focus();
  document.documentElement.dataset.ready = 'true';
  performance.mark('orvane-ready');
}

// For the benchmark: the module, and a level slider's handler as the page runs
// it; and the announcer, for whatever else the page has to say.
window.OrvanePage = {
  get module() { return app.module; },
  redraw: () => run(() => app.module._orvane_scroll(0)),
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
