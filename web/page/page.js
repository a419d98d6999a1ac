// The page's controls and their events. Every handler is the desktop's, run by
// the WebAssembly module (glue.cpp): this script moves thumbs, forwards the
// user's actions and copies the plot's pixels to the canvas.
'use strict';

(function () {
  performance.mark('orvane-script');

  // The WebAssembly comes with the page, so nothing is fetched. It compiles in
  // the background while the page sets itself up; `hooks` is filled in below.
  const hooks = {};
  const loading = (() => {
    const text = atob(ORVANE_WASM);
    const wasmBinary = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) wasmBinary[i] = text.charCodeAt(i);
    return OrvaneModule({ page: hooks, wasmBinary });
  })();
  let layout = ORVANE_LAYOUT; // in English until the module gives the user's language
  const frame = document.getElementById('OrvaneFrm');
  const win = document.getElementById('Window');
  const errorBox = document.getElementById('ErrorBox');
  const MISSING = -2147483648; // a slider the page does not have

  // The user's languages, in order: ?lang=CODE in the address first, then the
  // browser's. The module picks the first it has texts for (English else), as
  // the desktop does; numbers take that language's decimal separator.
  const languages = (() => {
    const asked = new URLSearchParams(location.search).get('lang');
    const valid = (code) => typeof code === 'string' && /^[A-Za-z0-9_-]{1,35}$/.test(code);
    const browser = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language];
    return [asked].concat(Array.from(browser)).filter(valid).join(',');
  })();
  let separator = '.';
  let texts = layout.texts;
  // `template` with %1 replaced by `text`.
  const fill = (template, text) => template.replace('%1', () => text);

  let module = null;
  let pixels = 0;
  let canvasContext = null;

  function showError(message) {
    document.getElementById('ErrorText').textContent = fill(texts.error, message);
    errorBox.hidden = false;
    document.getElementById('ErrorOk').focus();
  }
  document.getElementById('ErrorOk').addEventListener('click', () => { errorBox.hidden = true; });
  window.addEventListener('error', (event) => showError(String(event.message)));
  window.addEventListener('unhandledrejection', (event) => showError(String(event.reason)));

  // Says `text` once, politely, through the one live region: what an action
  // did, in the desktop's words. The same text again would change nothing in
  // the region and so be heard nowhere: it then ends in a no-break space.
  const announcer = document.getElementById('Announcer');
  function announce(text) {
    announcer.textContent = announcer.textContent === text ? text + '\u00A0' : text;
  }

  // What a screen reader says of a slider's value: the level in dB, the angle
  // in degrees, as the desktop says them.
  function spokenValue(slider) {
    if (slider.index === 2) return module.UTF8ToString(module._orvane_spoken_angle(slider.value));
    return module.ccall('orvane_spoken_level', 'string', ['number', 'string'], [slider.value, separator]);
  }

  // A slider of the layout table, drawn and driven by this script. Qt's key
  // and mouse rules: arrows and Page keys step (on the level sliders Up lowers
  // the value, so the thumb follows the key), Home and End go to the ends, a
  // press in the channel steps a page towards it, the thumb can be dragged, the
  // wheel steps.
  class Slider {
    constructor(element, index) {
      this.element = element;
      this.index = index;
      const d = element.dataset;
      this.minimum = Number(d.minimum);
      this.maximum = Number(d.maximum);
      this.small = Number(d.smallStep);
      this.large = Number(d.largeStep);
      this.vertical = element.classList.contains('vertical');
      this.value = Number(element.getAttribute('aria-valuenow'));
      this.thumb = element.querySelector('.thumb');
      this.fill = element.querySelector('.fill');
      this.groove = element.querySelector('.groove');
      this.ticks = [...element.querySelectorAll('.tick')];
      this.drag = null;
      this.length = this.vertical ? element.offsetHeight : element.offsetWidth;
      this.thumbLength = 11; // the layout table's thumb, until the layout says otherwise
      this.span = this.length - this.thumbLength;
      this.reach = 0;
      this.measure();
      // The layout decides the slider's length and the thumb's size.
      if (window.ResizeObserver) new ResizeObserver(() => this.measure()).observe(element);
      element.addEventListener('keydown', (e) => this.onKey(e));
      element.addEventListener('pointerdown', (e) => this.onPointerDown(e));
      element.addEventListener('pointermove', (e) => this.onPointerMove(e));
      element.addEventListener('pointerup', (e) => this.onPointerUp(e));
      element.addEventListener('pointercancel', (e) => this.onPointerUp(e));
      element.addEventListener('wheel', (e) => this.onWheel(e), { passive: false });
      this.show();
    }

    // The track as page.css lays it out: its length, the thumb's length along
    // it, and how far beyond the thumb a press still takes it (for a finger).
    measure() {
      const length = this.vertical ? this.element.offsetHeight : this.element.offsetWidth;
      const thumbLength = this.vertical ? this.thumb.offsetHeight : this.thumb.offsetWidth;
      if (length === 0 || thumbLength === 0) return; // not laid out
      this.length = length;
      this.thumbLength = thumbLength;
      this.reach = Number.parseFloat(getComputedStyle(this.element).getPropertyValue('--reach')) || 0;
      this.span = length - thumbLength;
      const half = thumbLength / 2;
      const side = this.vertical ? ['top', 'height'] : ['left', 'width'];
      this.groove.style[side[0]] = half + 'px';
      this.groove.style[side[1]] = this.span + 'px';
      const interval = this.ticks.length > 1 ? (this.maximum - this.minimum) / (this.ticks.length - 1) : 0;
      this.ticks.forEach((tick, i) => {
        tick.style.top = Math.round(((i * interval) / (this.maximum - this.minimum)) * this.span + half) + 'px';
      });
      this.show();
    }

    offsetOf(value) {
      return Math.round(((value - this.minimum) / (this.maximum - this.minimum)) * this.span);
    }

    show() {
      const at = this.offsetOf(this.value);
      const half = this.thumbLength / 2;
      if (this.vertical) {
        this.thumb.style.top = at + 'px';
        this.fill.style.top = half + 'px';
        this.fill.style.height = at + 'px';
      } else {
        this.thumb.style.left = at + 'px';
        this.fill.style.left = half + 'px';
        this.fill.style.width = at + 'px';
      }
      this.element.setAttribute('aria-valuenow', String(this.value));
      if (!module) return; // the page as written holds the start's spoken value
      this.element.setAttribute('aria-valuetext', spokenValue(this));
    }

    // Sets the value as the program does: no handler runs.
    set(value) {
      if (!Number.isInteger(value) || value < this.minimum || value > this.maximum) return false;
      this.value = value;
      this.show();
      return true;
    }

    // A move by the user: the thumb moves, then the slider's scroll handler runs.
    // A level slider is heard through its value; the probe's gain is announced.
    userMove(value) {
      if (!module) return; // the window shows once the program has started
      this.set(Math.min(this.maximum, Math.max(this.minimum, value)));
      // The module says the probe's gain through page.announce.
      if (run(() => module._orvane_scroll(this.index)) && this.index === 2) playProbeSound();
    }

    onKey(event) {
      const v = this.value;
      const up = this.vertical ? -1 : 1; // the level sliders' controls are inverted
      const moves = {
        ArrowUp: v + up * this.small, ArrowDown: v - up * this.small,
        ArrowLeft: v - up * this.small, ArrowRight: v + up * this.small,
        PageUp: v + up * this.large, PageDown: v - up * this.large,
        Home: this.minimum, End: this.maximum,
      };
      if (!(event.key in moves) || event.altKey || event.ctrlKey || event.metaKey) return;
      event.preventDefault();
      this.userMove(moves[event.key]);
    }

    // Where the pointer is along the track, in unscaled CSS pixels.
    along(event) {
      const r = this.element.getBoundingClientRect();
      return this.vertical ? ((event.clientY - r.top) / r.height) * this.length
        : ((event.clientX - r.left) / r.width) * this.length;
    }

    onPointerDown(event) {
      if (event.button !== 0) return;
      event.preventDefault();
      // Not scrolled into view: a finger on a slider partly off the screen would
      // move the page under it, and the thumb with it.
      this.element.focus({ preventScroll: true });
      const pos = this.along(event);
      const at = this.offsetOf(this.value);
      if (pos >= at - this.reach && pos < at + this.thumbLength + this.reach) {
        this.drag = { grab: pos - at, id: event.pointerId };
        this.element.setPointerCapture(event.pointerId);
      } else {
        this.userMove(this.value + (pos < at ? -this.large : this.large));
      }
    }

    onPointerMove(event) {
      if (!this.drag || event.pointerId !== this.drag.id) return;
      const fraction = (this.along(event) - this.drag.grab) / this.span;
      const value = Math.min(this.maximum, Math.max(this.minimum,
        this.minimum + Math.round(fraction * (this.maximum - this.minimum))));
      if (value !== this.value) this.userMove(value);
    }

    // A notch of the wheel moves three small steps, at most a page, as Qt's
    // sliders do; wheeling up raises the value, on the level sliders lowers it.
    onWheel(event) {
      if (event.deltaY === 0 || event.ctrlKey) return;
      event.preventDefault();
      const steps = Math.min(3 * this.small, this.large);
      const up = (event.deltaY < 0 ? 1 : -1) * (this.vertical ? -1 : 1);
      this.userMove(this.value + up * steps);
    }

    onPointerUp(event) {
      if (this.drag && event.pointerId === this.drag.id) this.drag = null;
    }
  }

  const sliders = layout.sliders.map((name, index) => {
    const element = document.getElementById(name);
    return element ? new Slider(element, index) : null;
  });

  // Runs one of the module's handlers and shows what it drew. Returns whether
  // the handler ran to its end.
  function run(handler) {
    const done = handler();
    blit();
    keepAddress();
    drawn = true;
    schedulePrint();
    if (detailsOpen) showDetails();
    return done === 1;
  }

  // The plot for the printer: the figure's pixels at four times the window's
  // size, shown in place of the canvas by the print style. Nothing until the
  // plot was first drawn: a blank plot prints as it shows.
  let drawn = false;
  let printTimer = 0;
  let printCanvas = null;
  function drawForPrint() {
    clearTimeout(printTimer);
    printTimer = 0;
    const at = module._orvane_figure_pixels(4);
    if (!at) return;
    const w = module._orvane_figure_width();
    const h = module._orvane_figure_height();
    if (!printCanvas) {
      printCanvas = document.createElement('canvas');
      printCanvas.id = 'PrintPlot';
      printCanvas.setAttribute('aria-hidden', 'true');
      gra.appendChild(printCanvas);
    }
    printCanvas.width = w;
    printCanvas.height = h;
    printCanvas.style.width = layout.canvasWidth + 'px';
    printCanvas.style.height = layout.canvasHeight + 'px';
    const printContext = printCanvas.getContext('2d');
    printContext.putImageData(new ImageData(new Uint8ClampedArray(module.HEAPU8.buffer, at, w * h * 4).slice(), w, h), 0, 0);
    writeLabels(printContext, module._orvane_figure_labels());
    document.documentElement.classList.add('print-plot');
  }
  function schedulePrint() {
    if (!drawn) return;
    clearTimeout(printTimer);
    printTimer = setTimeout(drawForPrint, 250);
  }

  // The address holds the state shown, replaced rather than added to the
  // history one step at a time; at most a few times a second, as browsers
  // refuse a flood of replacements (Safari after 100 in 30 seconds).
  let addressTimer = 0;
  function keepAddress() {
    if (!addressTimer) addressTimer = setTimeout(writeAddress, 200);
  }
  function writeAddress() {
    clearTimeout(addressTimer);
    addressTimer = 0;
    const state = module.UTF8ToString(module._orvane_state());
    if (!state || location.hash === '#' + state) return;
    try {
      history.replaceState(history.state, '', '#' + state);
    } catch (e) {
      location.replace('#' + state); // a fragment alone: no reload
    }
  }

  // The state in the address the page was opened with. One that is no state
  // is named in the error box, and the page is as if opened without it.
  function showAddressState() {
    let text = location.hash.slice(1);
    if (!text) return;
    try {
      text = decodeURIComponent(text);
    } catch (e) { /* shown back as it stands */ }
    const error = module.ccall('orvane_show_state', 'string', ['string'], [text]);
    blit();
    if (!error) {
      drawn = true;
      schedulePrint();
    } else {
      try {
        history.replaceState(history.state, '', location.pathname + location.search);
      } catch (e) { /* the address keeps it; the page shows none of it */ }
      showError(texts.addressNoState.replace('%1', error));
    }
  }

  // The figure of the state shown: the plot's pixels at a whole scale with the
  // caption band under it, as a PNG; or the module's SVG.
  function download(blob, name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }

  function figureName(suffix) {
    return 'orvane-' + module.UTF8ToString(module._orvane_state()).replace(/[^a-z0-9-]+/gi, '-') + suffix;
  }

  function figureCanvas(scale) {
    const at = module._orvane_figure_pixels(scale);
    if (!at) return null;
    const w = module._orvane_figure_width();
    const h = module._orvane_figure_height();
    const band = layout.captionBand * scale;
    const figure = document.createElement('canvas');
    figure.width = w;
    figure.height = h + band;
    const context = figure.getContext('2d');
    context.putImageData(new ImageData(new Uint8ClampedArray(module.HEAPU8.buffer, at, w * h * 4).slice(), w, h), 0, 0);
    writeLabels(context, module._orvane_figure_labels());
    context.fillStyle = '#ffffff';
    context.fillRect(0, h, w, band);
    context.fillStyle = '#000000';
    context.font = layout.captionPixels * scale + 'px ' + layout.captionFamilies;
    context.textAlign = 'center';
    context.textBaseline = 'middle';
    context.fillText(module.UTF8ToString(module._orvane_figure_caption()), w / 2, h + band / 2);
    return figure;
  }

  function savePng() {
    const scale = Math.min(8, Math.max(1, Math.round(window.devicePixelRatio || 1)));
    const figure = figureCanvas(scale);
    if (figure) figure.toBlob((blob) => download(blob, figureName('.png')), 'image/png');
  }

  function saveSvg() {
    const svg = module.UTF8ToString(module._orvane_figure_svg(1));
    if (svg) download(new Blob([svg], { type: 'image/svg+xml' }), figureName('.svg'));
  }

  // The address of this state: the system's share sheet where the browser has
  // one, else a copy to the clipboard, said aloud.
  async function share() {
    writeAddress();
    const url = location.href;
    if (navigator.share) {
      try {
        await navigator.share({ title: document.title, url });
        return;
      } catch (e) {
        if (e && e.name === 'AbortError') return; // the user closed the sheet
      }
    }
    let copied = false;
    try {
      await navigator.clipboard.writeText(url);
      copied = true;
    } catch (e) {
      const field = document.createElement('textarea');
      field.value = url;
      document.body.appendChild(field);
      field.select();
      copied = document.execCommand('copy');
      field.remove();
    }
    if (copied) announce(texts.linkCopied);
  }

  // The plot's labels (the datasheet view's), which the module's rasteriser
  // leaves to the browser's text engine: [[x, y, text, colour, align, size]].
  function writeLabels(context, at) {
    const labels = JSON.parse(module.UTF8ToString(at) || '[]');
    context.textBaseline = 'middle';
    for (const [x, y, text, colour, align, size] of labels) {
      context.font = size + 'px ' + layout.captionFamilies;
      context.fillStyle = colour;
      context.textAlign = align;
      context.fillText(text, x, y);
    }
  }

  function blit() {
    const w = module._orvane_canvas_width();
    const h = module._orvane_canvas_height();
    const bytes = new Uint8ClampedArray(module.HEAPU8.buffer, pixels, w * h * 4);
    canvasContext.putImageData(new ImageData(bytes, w, h), 0, 0);
    writeLabels(canvasContext, module._orvane_plot_labels());
    showView();
  }

  // The datasheet view's switch and range as the module holds them.
  const dbButton = document.getElementById('DbButton');
  const rangeChoice = document.getElementById('RangeChoice');
  function showView() {
    const range = module._orvane_view_range();
    dbButton.setAttribute('aria-pressed', String(range !== 0));
    if (range) rangeChoice.value = String(range);
  }
  function setView(on, range) {
    const said = module.UTF8ToString(module._orvane_set_view(on ? 1 : 0, range || 0));
    blit();
    keepAddress();
    schedulePrint();
    if (said) announce(said);
  }
  dbButton.addEventListener('click', () => module && setView(dbButton.getAttribute('aria-pressed') !== 'true', 0));
  rangeChoice.addEventListener('change', () => module && setView(true, Number(rangeChoice.value)));

  // What the module asks of the page (see glue.cpp).
  Object.assign(hooks, {
    sliderValue: (i) => (sliders[i] ? sliders[i].value : MISSING),
    setSlider: (i, value) => (sliders[i] && sliders[i].set(value) ? 1 : 0),
    setCaption: (i, text) => {
      const element = document.getElementById(layout.captions[i]);
      if (!element) return 0;
      // The boxes are fixed and clip long values; the tooltip shows all of it.
      if (element.textContent !== text) element.textContent = text;
      element.title = text;
      return 1;
    },
    // The plot's text alternative says what it shows.
    describePlot: (text) => document.getElementById('gra').setAttribute('aria-label', texts.plot + '. ' + text),
    showError,
    announce,
  });

  // The pattern as sound: the module's samples, played by the Web Audio API
  // on the user's request (a key or a click, as browsers require).
  const probeSwitch = document.getElementById('ProbeSoundSwitch');
  const probing = () => probeSwitch && probeSwitch.getAttribute('aria-checked') === 'true';
  let audio = null;
  let playing = null;

  // Plays the sweep (angle 1000) or the probe's sound at an angle.
  function play(angle, ended) {
    audio = audio || new (window.AudioContext || window.webkitAudioContext)();
    if (audio.state === 'suspended') audio.resume();
    const rate = audio.sampleRate;
    const at = module._orvane_sound(angle, sliders[0].value, sliders[1].value, rate) >> 2;
    if (!at) throw new Error('no sound at ' + rate + ' Hz');
    const frames = module._orvane_sound_frames();
    const data = module.HEAPF32;
    const buffer = audio.createBuffer(2, frames, rate);
    for (let c = 0; c < 2; ++c) {
      const channel = buffer.getChannelData(c);
      for (let i = 0; i < frames; ++i) channel[i] = data[at + 2 * i + c];
    }
    if (playing) {
      playing.onended = null;
      playing.stop();
    }
    const source = playing = audio.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.destination);
    source.onended = () => { playing = null; if (ended) ended(); };
    source.start();
  }

  function listen() {
    try {
      play(1000, () => announce(texts.listenEnded));
      announce(texts.listenStarted);
    } catch (error) {
      showError(fill(texts.listenError, error.message));
    }
  }

  function playProbeSound() {
    if (!probing()) return;
    try {
      play(sliders[2].value);
    } catch (error) {
      probeSwitch.setAttribute('aria-checked', 'false'); // said once, not at every step
      showError(fill(texts.probeError, error.message));
    }
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

  document.getElementById('ListenButton').addEventListener('click', () => module && listen());
  // The plot's letters, as the action table gives them.
  const keyed = {
    ListenAction: () => listen(),
    DetailsAction: () => setDetailsOpen(true),
    KeepAction: () => keep(true),
    DatasheetAction: () => setView(dbButton.getAttribute('aria-pressed') !== 'true', 0),
  };
  document.getElementById('gra').addEventListener('keydown', (event) => {
    const entry = layout.keys.find((k) => k.key.toLowerCase() === event.key.toLowerCase());
    if (!entry || event.altKey || event.ctrlKey || event.metaKey) return;
    event.preventDefault();
    if (!module || event.repeat) return;
    keyed[entry.action]();
  });

  // The pattern's figures, in a panel beside the window (in the touch layout,
  // under the plot), and the kept pattern's beside the current ones. The rows
  // come from the module, with their texts.
  const detailsPanel = document.getElementById('DetailsPanel');
  const detailsButton = document.getElementById('DetailsButton');
  const clearKeptButton = document.getElementById('ClearKeptButton');
  let detailsOpen = false;

  function showDetails() {
    const text = module.UTF8ToString(module._orvane_details());
    if (!text) return;
    const details = JSON.parse(text);
    document.getElementById('DetailsMessage').hidden = !details.empty;
    const equation = document.getElementById('DetailsEquation');
    equation.hidden = details.empty;
    if (equation.textContent !== details.equation) equation.textContent = details.equation;
    document.getElementById('DetailsTable').hidden = details.empty && !details.kept;
    detailsPanel.classList.toggle('comparing', details.kept);
    const body = document.getElementById('DetailsTable').tBodies[0];
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
  function placeDetails() {
    if (touchLayout()) {
      if (detailsPanel.parentNode !== frame) frame.insertBefore(detailsPanel, gra.nextSibling);
      detailsPanel.style.left = detailsPanel.style.top = '';
    } else {
      if (detailsPanel.parentNode !== document.body) win.after(detailsPanel);
      const box = win.getBoundingClientRect();
      detailsPanel.style.left = Math.round(box.right + window.scrollX + 8) + 'px';
      detailsPanel.style.top = Math.round(box.top + window.scrollY) + 'px';
    }
    frame.classList.toggle('with-details', detailsOpen && touchLayout());
  }

  function setDetailsOpen(open) {
    if (!module) return;
    detailsOpen = open;
    detailsButton.setAttribute('aria-expanded', String(open));
    detailsPanel.hidden = !open;
    if (open) {
      showDetails();
      placeDetails();
      detailsPanel.focus();
    } else {
      frame.classList.remove('with-details');
      if (detailsPanel.contains(document.activeElement)) detailsButton.focus();
    }
  }

  // Keeps the pattern as it stands for comparison (or lets it go) and says so.
  function keep(on) {
    const said = module.UTF8ToString(module._orvane_keep(on ? 1 : 0));
    blit();
    if (!said) return;
    clearKeptButton.hidden = !on;
    fitTexts(); // the button shown takes the longest form that fits
    if (detailsOpen) showDetails();
    announce(said);
  }

  detailsButton.addEventListener('click', () => setDetailsOpen(!detailsOpen));
  document.getElementById('KeepButton').addEventListener('click', () => module && keep(true));
  clearKeptButton.addEventListener('click', () => {
    if (!module) return;
    keep(false);
    document.getElementById('KeepButton').focus(); // the button goes away
  });
  if (probeSwitch) probeSwitch.addEventListener('click', () => probeSwitch.setAttribute('aria-checked', String(!probing())));

  // Which arrangement page.css chose: the layout table's, or the one for
  // fingers and small screens.
  const touchLayout = () => getComputedStyle(win).getPropertyValue('--layout').trim() === 'touch';

  // The window filling the screen, for a class: the browser's full screen where
  // it allows it, else the whole viewport; the layout table's window scaled to
  // the largest size that fits, or the touch layout as it flows. The button
  // again, or Escape, goes back.
  const maximiseButton = document.getElementById('Maximise');
  let maximised = false;
  let windowScale = 1;

  // A text for a small box may come with shorter forms after U+009C, longest
  // first: the box shows the longest that fits, as Qt's labels and buttons do,
  // and a shortened one keeps its full form as its name and tooltip.
  const fitted = [];
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
  function fitTexts() {
    for (const { element, forms, title } of fitted) {
      let shown = 0;
      element.textContent = forms[0];
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

  // Every text of the page in the language the module chose.
  function showLanguage(code) {
    document.documentElement.lang = code;
    layout = JSON.parse(module.UTF8ToString(module._orvane_layout(layout.edition === 'Orvane' ? 0 : 1)));
    texts = layout.texts;
    separator = layout.decimalSeparator;
    for (const c of layout.controls) {
      const element = document.getElementById(c.name);
      if (!element) continue;
      if (c.description) element.setAttribute('aria-description', c.description);
      if (c.kind === 'button' || (c.kind === 'label' && c.captionOf)) {
        fitted.push({ element, forms: c.text.split('\u009c') });
      } else if (c.accessibleName) {
        element.setAttribute('aria-label', c.accessibleName);
      }
    }
    document.getElementById('gra').setAttribute('aria-description', texts.listenHint);
    const listenButton = document.getElementById('ListenButton');
    listenButton.textContent = texts.listen;
    listenButton.title = texts.listenTitle;
    if (probeSwitch) probeSwitch.textContent = texts.probeSound;
    maximiseButton.title = texts.maximise;
    maximiseButton.querySelector('.visually-hidden').textContent = texts.maximise;
    document.getElementById('ErrorOk').textContent = texts.ok;
    // The title bar's buttons may carry shorter forms, as the window's do.
    for (const [id, name] of [['ShareButton', 'share'], ['SaveImageButton', 'saveImage'], ['DetailsButton', 'detailsButton'],
      ['KeepButton', 'keepButton'], ['ClearKeptButton', 'clearKeptButton']]) {
      fitted.push({ element: document.getElementById(id), forms: texts[name].split('\u009c'), title: id === 'KeepButton' ? texts.keepAction : '' });
    }
    for (const [id, name] of [['SavePng', 'savePng'], ['SaveSvg', 'saveSvg'], ['DetailsTitle', 'detailsTitle'],
      ['DetailsMessage', 'detailsNoPattern']]) {
      document.getElementById(id).textContent = texts[name];
    }
    const headings = document.querySelectorAll('#DetailsTable thead th');
    [texts.detailsFigure, texts.detailsCurrent, texts.detailsKept].forEach((text, i) => { headings[i].textContent = text; });
  }

  function fitWindow() {
    fitTexts();
    windowScale = 1;
    win.style.transform = '';
    win.style.left = '';
    win.style.top = '';
    if (maximised && !touchLayout()) {
      const width = win.offsetWidth;
      const height = win.offsetHeight;
      windowScale = Math.min(window.innerWidth / width, window.innerHeight / height);
      win.style.left = Math.max(0, Math.floor((window.innerWidth - width * windowScale) / 2)) + 'px';
      win.style.top = Math.max(0, Math.floor((window.innerHeight - height * windowScale) / 2)) + 'px';
      win.style.transform = 'scale(' + windowScale + ')';
    }
    sizeCanvas();
    if (detailsOpen) placeDetails();
  }

  function setMaximised(on) {
    if (on === maximised) return;
    maximised = on;
    maximiseButton.setAttribute('aria-pressed', String(on));
    document.documentElement.classList.toggle('maximised', on);
    // Safari before 16.4 knows the full screen by its prefixed names.
    const root = document.documentElement;
    const request = root.requestFullscreen || root.webkitRequestFullscreen;
    const exit = document.exitFullscreen || document.webkitExitFullscreen;
    if (on && (document.fullscreenEnabled || document.webkitFullscreenEnabled) && !fullScreenElement() && request) {
      Promise.resolve(request.call(root)).catch(() => {}); // the viewport is filled either way
    } else if (!on && fullScreenElement() && exit) {
      Promise.resolve(exit.call(document)).catch(() => {});
    }
    fitWindow();
  }
  const fullScreenElement = () => document.fullscreenElement || document.webkitFullscreenElement || null;
  maximiseButton.addEventListener('click', () => setMaximised(!maximised));
  const fullScreenChanged = () => {
    if (!fullScreenElement()) setMaximised(false);
    fitWindow();
  };
  document.addEventListener('fullscreenchange', fullScreenChanged);
  document.addEventListener('webkitfullscreenchange', fullScreenChanged);
  // Escape closes the details first, then leaves the full screen.
  document.addEventListener('keydown', (event) => {
    if (event.key !== 'Escape') return;
    if (detailsOpen) setDetailsOpen(false);
    else if (maximised) setMaximised(false);
  });

  // The canvas at the screen's own resolution: its pixels are its CSS size
  // times the device pixel ratio (and the window's scale), and the module
  // draws the picture again at that scale. The layout table's window at its
  // own size keeps the ratio it started with, pixel for pixel the desktop's.
  const gra = document.getElementById('gra');
  const canvas = gra.querySelector('canvas');
  let canvasRatio = 0;

  function sizeCanvas() {
    if (!module) return;
    const dpr = window.devicePixelRatio || 1;
    const style = getComputedStyle(gra);
    const inside = Number.parseFloat(style.width) - Number.parseFloat(style.borderLeftWidth) -
      Number.parseFloat(style.borderRightWidth);
    const native = inside === layout.canvasWidth && windowScale === 1;
    // With whole device pixels to a CSS pixel, the canvas is a whole number of
    // CSS pixels each way, which the browser shows unscaled.
    const scale = dpr * windowScale;
    const whole = !native && Number.isInteger(scale) ? scale : 1;
    const across = Math.floor((inside * scale + 1e-6) / whole) * whole;
    const ratio = native ? dpr : across / layout.canvasWidth;
    if (!(ratio > 0)) return;
    if (ratio !== canvasRatio) {
      canvasRatio = ratio;
      pixels = module._orvane_resize(ratio, whole);
      canvas.width = module._orvane_canvas_width();
      canvas.height = module._orvane_canvas_height();
      blit();
    }
    canvas.style.width = (native ? layout.canvasWidth : canvas.width / scale) + 'px';
    canvas.style.height = (native ? layout.canvasHeight : canvas.height / scale) + 'px';
  }

  // A zoom or another screen changes the pixel ratio; a turned phone the size.
  function watchResolution() {
    const query = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
    const changed = () => {
      query.removeEventListener('change', changed);
      watchResolution();
      fitWindow();
    };
    query.addEventListener('change', changed);
  }
  window.addEventListener('resize', fitWindow);
  if (window.ResizeObserver) new ResizeObserver(() => sizeCanvas()).observe(gra);

  function start(loaded) {
    module = loaded;
    showLanguage(module.ccall('orvane_set_language', 'string', ['string'], [languages]));

    const ratio = window.devicePixelRatio || 1;
    pixels = module.ccall('orvane_start', 'number', ['number', 'number', 'string'],
      [layout.edition === 'Orvane' ? 0 : 1, ratio, separator]);
    canvasRatio = ratio;
    canvas.width = module._orvane_canvas_width();
    canvas.height = module._orvane_canvas_height();
    canvasContext = canvas.getContext('2d');
    blit();
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
    const saveButton = document.getElementById('SaveImageButton');
    const saveMenu = document.getElementById('SaveImageMenu');
    const closeSaveMenu = () => { saveMenu.hidden = true; saveButton.setAttribute('aria-expanded', 'false'); };
    saveButton.addEventListener('click', () => {
      saveMenu.hidden = !saveMenu.hidden;
      saveButton.setAttribute('aria-expanded', String(!saveMenu.hidden));
      if (!saveMenu.hidden) document.getElementById('SavePng').focus();
    });
    document.addEventListener('click', (event) => {
      if (!saveMenu.hidden && !document.getElementById('SaveImage').contains(event.target)) closeSaveMenu();
    });
    saveMenu.addEventListener('keydown', (event) => { if (event.key === 'Escape') { closeSaveMenu(); saveButton.focus(); } });
    document.getElementById('SavePng').addEventListener('click', () => { closeSaveMenu(); savePng(); });
    document.getElementById('SaveSvg').addEventListener('click', () => { closeSaveMenu(); saveSvg(); });
    document.getElementById('ShareButton').addEventListener('click', () => share());
    // Printed, the plot is a copy drawn at four times its size, crisp on
    // paper: kept up to date a moment after the last move, and at once when
    // the browser says it prints.
    window.addEventListener('beforeprint', () => { if (printTimer) drawForPrint(); });
    win.classList.remove('starting');
    document.getElementById('gra').focus();
    document.documentElement.dataset.ready = 'true';
    performance.mark('orvane-ready');
  }

  // For the benchmark: the module, and a level slider's handler as the page runs
  // it; and the announcer, for whatever else the page has to say.
  window.OrvanePage = {
    get module() { return module; },
    redraw: () => run(() => module._orvane_scroll(0)),
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
    manifest.href = layout.edition + '.webmanifest';
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

  loading.then((loaded) => { start(loaded); keepOffline(); },
    (error) => showError('The program could not start: ' + error));
})();
