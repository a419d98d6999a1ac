// What the page shows, held in one place: the last snapshot of what the
// module says is shown after an action, and the one caller of the module.
// The views draw from each snapshot as it comes and send the user's actions
// back through dispatch(); none of them calls the module or keeps what the
// program knows.
//
// A snapshot, as glue.cpp's SnapshotJson writes it: {error, refused, said,
// description, plotChanged, drawn, pixels, width, height, labels, readouts,
// sliders, spoken, range, state, details, sound, pair, actions: {NAME:
// {enabled, checked}}}; the pair's plot and curve {pixels, width, height,
// labels} as the plot's. The entries' states, half of the text, seldom change
// (no move changes them): where their text is the last one's, the store keeps
// the last object rather than read them again.
import { app, fill } from './state.js';

let module = null;
let snapshot = null;
let actionsText = ''; // the entries' states of the last action's snapshot, as the module wrote them
const views = [];

const text = (at) => module.UTF8ToString(at);

// Sends `shown` to every view in turn; a view that acts on it (a sound that
// cannot start) makes a newer snapshot, which the rest then get instead: it
// says the plot changed where the one they missed did.
let showing = null;
function publish(shown, action) {
  if (showing?.plotChanged) shown.plotChanged = true;
  snapshot = showing = shown;
  for (const view of views) {
    if (snapshot !== shown) return;
    view(shown, action);
  }
  showing = null;
}

// The module's answer to an action, UserAction's kinds in glue.cpp's numbers.
const kinds = { move: 1, preset: 2, choose: 3, state: 4, soundEnded: 5, soundFailed: 6, pair: 7, blumlein: 8 };
function act({ kind, slider = 0, value = 0, technique = 0, action = '', on = true, text: given = '' }) {
  const [a, b, name] = kind === 'move' ? [slider, value, ''] : kind === 'pair' ? [technique, value, '']
    : kind === 'preset' ? [value, 0, ''] : [on ? 1 : 0, 0, kind === 'state' ? given : action];
  const made = text(module.ccall('orvane_act', 'number', ['number', 'number', 'number', 'string'], [kinds[kind], a, b, name]));
  const at = made.lastIndexOf(',"actions":');
  const same = made.slice(at) === actionsText;
  actionsText = made.slice(at);
  return made && (same ? { ...JSON.parse(made.slice(0, at) + '}'), actions: snapshot.actions } : JSON.parse(made));
}

// What the module made of a figure: its text, or null after an error, which
// the page then shows.
function figured(call) {
  const made = text(call());
  if (made.startsWith('{"error"')) {
    publish({ ...snapshot, said: '', sound: null, plotChanged: false, error: JSON.parse(made).error }, null);
    return null;
  }
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

  // The program started.
  start(edition, ratio, separator) {
    publish(JSON.parse(text(module.ccall('orvane_start', 'number', ['number', 'number', 'string'], [edition, ratio, separator]))), null);
  },

  // The user's action: {kind: 'move', slider, value}, {kind: 'preset',
  // value}, {kind: 'choose', action: NAME, on}, {kind: 'state', text}, the
  // stereo pair's {kind: 'pair', technique (0 XY, 1 M/S), value (its angle or
  // side)} and {kind: 'blumlein'}, or a sound's end, {kind: 'soundEnded' |
  // 'soundFailed', action: NAME}.
  dispatch(action) {
    if (!module) return;
    const shown = act(action);
    if (!shown) return; // no such action on this page
    // A link that holds no state is named in the error box; nothing changed.
    if (shown.refused) shown.error = fill(app.texts.addressNoState, shown.refused);
    publish(shown, action);
  },

  // The canvas at `ratio` (see glue.cpp's orvane_resize).
  resize(ratio, multiple, smallestLabel) {
    publish(JSON.parse(text(module._orvane_resize(ratio, multiple, smallestLabel))), null);
  },

  // The pixels of a snapshot's plot (or a pair's drawing), where the module holds them.
  pixels: (shown) => new Uint8ClampedArray(module.HEAPU8.buffer, shown.pixels, shown.width * shown.height * 4),

  // The figure of the state shown at a whole `scale`: {pixels (a copy),
  // width, height, labels, caption}, or null after an error, which the page shows.
  figure(scale) {
    const made = figured(() => module._orvane_figure(scale));
    if (!made) return null;
    const figure = JSON.parse(made);
    figure.pixels = store.pixels(figure).slice();
    return figure;
  },
  figureSvg: (scale) => figured(() => module._orvane_figure_svg(scale)),

  // A sound's samples at `rate`, left and right in turn; around the pair
  // ([technique, value]) where it has one.
  samples({ action, s1, s2, angle, pair }, rate) {
    const made = text(module._orvane_sound(action === 'ListenAction' ? 1000 : angle, s1, s2, rate, ...(pair || [])));
    if (!made) throw new Error('no sound at ' + rate + ' Hz');
    const { samples, frames } = JSON.parse(made);
    return module.HEAPF32.subarray(samples >> 2, (samples >> 2) + 2 * frames);
  },
};
