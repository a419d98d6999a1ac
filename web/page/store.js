// What the page shows, held in one place: the last snapshot of what the
// module says is shown after an action, and the one caller of the module.
// The views draw from each snapshot as it comes and send the user's actions
// back through dispatch(); none of them calls the module or keeps what the
// program knows.
//
// A snapshot: {done, error, said, description, plotChanged, drawn, readouts,
// sliders, spoken, actions: {NAME: {enabled, checked}}, range, details,
// state, sound, pixels, width, height, labels, refused}. The module's answer
// (glue.cpp's ShownJson) gives most of it; what it does not give yet is made
// here from its calls back to the page during the action (`hooks`) and from
// the actions themselves.
import { app, byId, fill } from './state.js';
import { hooks } from './loading.js';

const MISSING = -2147483648; // a slider the page does not have
const NO_FIGURES = { empty: true, equation: '', kept: false, rows: [] };
let module = null;
let snapshot = null;
const views = [];
let said = '';
let error = '';
// What the module's answer does not carry yet: the sliders' positions and
// ranges, the readouts' texts and the plot's description as it last gave
// them, and what the page's own actions switched.
let sliders = [];
let bounds = [];
const readouts = [null, null, null, null];
let description = '';
let canKeep = false;
let kept = false;
let probing = false;
let details = false;

// What the module asks of the page while an action runs.
Object.assign(hooks, {
  sliderValue: (i) => (sliders[i] == null ? MISSING : sliders[i]),
  setSlider: (i, value) => {
    const [minimum, maximum] = bounds[i] || [];
    if (!Number.isInteger(value) || !(value >= minimum && value <= maximum)) return 0;
    sliders[i] = value;
    return 1;
  },
  // A readout the page has lost ends the handler, as a lost control does on the desktop.
  setCaption: (i, caption) => {
    if (!byId(app.layout.captions[i])) return 0;
    readouts[i] = caption;
    return 1;
  },
  describePlot: (text) => { description = text; },
  showError: (text) => { error = text; },
  announce: (text) => { said = text; },
});

const text = (at) => module.UTF8ToString(at);

// Each of the page's action entries as it stands: {enabled, checked}.
function actionsShown(range) {
  const states = {
    ProbeSoundAction: [1, probing], DetailsAction: [1, details],
    KeepAction: [canKeep], ClearKeptAction: [kept], DatasheetAction: [1, range !== 0],
  };
  const actions = {};
  for (const { name } of app.layout.actions) {
    const [enabled, checked] = states[name] || [1];
    actions[name] = { enabled: !!enabled, checked: !!checked };
  }
  return actions;
}

// A snapshot from the last with `changes`: nothing said, no error, no sound.
function next(changes) {
  const made = {
    ...snapshot, done: true, said: '', error: '', plotChanged: false, sound: null, ...changes,
    readouts: readouts.slice(), sliders: sliders.slice(), description,
  };
  // While the details are shown, their figures; where the module could not
  // give them, those shown before.
  made.details = details ? changes.details || (snapshot && snapshot.details) || NO_FIGURES : null;
  made.actions = actionsShown(made.range);
  return made;
}

// Runs `call`, one of the module's actions that answers as ShownJson does.
function answer(call) {
  said = error = '';
  const shown = JSON.parse(call());
  canKeep = shown.canKeep;
  return next({ ...shown, said: shown.said || said, error, plotChanged: true });
}

const soundOf = (action) => ({ action, s1: sliders[0], s2: sliders[1], angle: sliders[2] });

// Sends `shown` to every view in turn; a view that acts on it (a sound that
// cannot start) makes a newer snapshot, which the rest then get instead.
function publish(shown, action) {
  snapshot = shown;
  for (const view of views) {
    if (snapshot !== shown) return;
    view(shown, action);
  }
}

// An entry of the action table chosen: {action: NAME, on}.
function choose({ action: name, on }) {
  switch (name) {
  case 'ListenAction':
    return next({ said: app.texts.listenStarted, sound: soundOf(name) });
  case 'ProbeSoundAction':
    probing = on;
    return next({});
  case 'DetailsAction': {
    details = on;
    const figures = text(module._orvane_details(on ? 1 : 0));
    return next({ details: figures ? JSON.parse(figures) : null });
  }
  case 'KeepAction':
  case 'ClearKeptAction': {
    const keep = name === 'KeepAction';
    const shown = answer(() => text(module._orvane_keep(keep ? 1 : 0)));
    if (shown.said) kept = keep; // said once it ran to its end
    shown.actions = actionsShown(shown.range);
    return shown;
  }
  case 'DatasheetAction':
    return answer(() => text(module._orvane_set_view(on ? 1 : 0, 0)));
  default: { // a range's entry, Range30Action; an entry the page cannot run yet does nothing
    const range = /^Range(\d+)Action$/.exec(name);
    return range && answer(() => text(module._orvane_set_view(1, Number(range[1]))));
  }
  }
}

// What `call` makes for a figure, its text; an error the module shows on
// the way is the page's to show.
function figured(call) {
  error = '';
  const made = text(call());
  if (error) publish(next({ error }), null);
  return made;
}

export const store = {
  get module() { return module; },
  get snapshot() { return snapshot; },

  // `view(snapshot, action)` for each snapshot from now on, in the order
  // subscribed; `action` the user's that made it, null for the start and a resize.
  subscribe(view) { views.push(view); },

  // The module once it has loaded: the language it chooses of `codes` (its
  // code), and its layout JSON in it.
  load(loaded, codes) {
    module = loaded;
    return module.ccall('orvane_set_language', 'string', ['string'], [codes]);
  },
  layout: (edition) => JSON.parse(text(module._orvane_layout(edition))),

  // The program started, its sliders as the layout table sets them (none
  // where the edition has none).
  start(edition, ratio, separator) {
    const settings = app.layout.sliders.map((name) => (app.layout.controls.find((c) => c.name === name) || {}).slider);
    sliders = settings.map((s) => (s ? s.start : null));
    bounds = settings.map((s) => s && [s.minimum, s.maximum]);
    publish(answer(() => module.ccall('orvane_start', 'string', ['number', 'number', 'string'], [edition, ratio, separator])), null);
  },

  // The user's action: {kind: 'move', slider, value}, {kind: 'preset',
  // value}, {kind: 'choose', action: NAME, on}, {kind: 'state', text}, or a
  // sound's end, {kind: 'soundEnded' | 'soundFailed', action: NAME, text}.
  dispatch(action) {
    if (!module) return;
    let shown;
    switch (action.kind) {
    case 'move':
      hooks.setSlider(action.slider, action.value);
      shown = answer(() => text(module._orvane_scroll(action.slider)));
      if (shown.done && action.slider === 2 && probing) shown.sound = soundOf('ProbeSoundAction');
      break;
    case 'preset':
      shown = answer(() => text(module._orvane_preset(action.value)));
      break;
    case 'state':
      shown = answer(() => module.ccall('orvane_show_state', 'string', ['string'], [action.text]));
      if (shown.refused) shown.error = fill(app.texts.addressNoState, shown.refused);
      break;
    case 'choose':
      shown = choose(action);
      if (!shown) return;
      break;
    case 'soundEnded':
      if (action.action !== 'ListenAction') return;
      shown = next({ said: app.texts.listenEnded });
      break;
    case 'soundFailed': {
      const probe = action.action === 'ProbeSoundAction';
      probing = probing && !probe; // a failing probe's sound turns off: said once, not at every step
      shown = next({ error: fill(probe ? app.texts.probeError : app.texts.listenError, action.text) });
      break;
    }
    default:
      return;
    }
    publish(shown, action);
  },

  // The canvas at `ratio` (see glue.cpp's orvane_resize).
  resize(ratio, multiple, smallestLabel) {
    publish(answer(() => text(module._orvane_resize(ratio, multiple, smallestLabel))), null);
  },

  // The plot's pixels of a snapshot, where the module holds them.
  pixels: (shown) => new Uint8ClampedArray(module.HEAPU8.buffer, shown.pixels, shown.width * shown.height * 4),

  // The figure of the state shown at a whole `scale`: {pixels (a copy),
  // width, height, labels, caption}, or null after an error, which the module shows.
  figure(scale) {
    const made = figured(() => module._orvane_figure(scale));
    if (!made) return null;
    const figure = JSON.parse(made);
    figure.pixels = store.pixels(figure).slice();
    return figure;
  },
  figureSvg: (scale) => figured(() => module._orvane_figure_svg(scale)),

  // A sound's samples at `rate`, left and right in turn.
  samples({ action, s1, s2, angle }, rate) {
    const made = text(module._orvane_sound(action === 'ListenAction' ? 1000 : angle, s1, s2, rate));
    if (!made) throw new Error('no sound at ' + rate + ' Hz');
    const { samples, frames } = JSON.parse(made);
    return module.HEAPF32.subarray(samples >> 2, (samples >> 2) + 2 * frames);
  },
};
