// Writes index.html (Orvane) and lite.html (OrvaneLite) from page/page.html:
// the controls of the layout table, which the compiled module hands out, at
// their places in pixels of 15 twips, with the stylesheet, the module and the
// page's script (page/main.js and its modules) inside each file. Beside them, for the pages served over http
// or https: a web app manifest for each edition (EDITION.webmanifest), the
// service worker that keeps both for offline use (sw.js, offline.mjs), and
// robots.txt. The icons are in OUTPUT_DIR/icons already (the desktop's painter).
// In OUTPUT_DIR/served, all of that again for a host that serves files
// separately: the same pages with the module beside them, in orvane.wasm,
// which both share and a host compresses as it is.
// Usage: node make_page.mjs MODULE.js TEST_MODULE.js OUTPUT_DIR   (each .wasm beside its .js)
// The pages carry MODULE; the layout and the start's spoken values come from
// TEST_MODULE, the same rules with the exports the tests use, which runs under node.
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { execFileSync } from 'node:child_process';
import { writeOffline } from './offline.mjs';

const [moduleFile, testModuleFile, outDir] = process.argv.slice(2);
const here = path.dirname(new URL(import.meta.url).pathname);
const read = (name) => fs.readFileSync(path.join(here, 'page', name), 'utf8');
const moduleSource = fs.readFileSync(moduleFile, 'utf8');
const wasmBinary = fs.readFileSync(moduleFile.replace(/\.js$/, '.wasm'));

// The WebAssembly as text that a compressor sees through: one character a
// byte, the same character for the same byte. The 92 bytes most frequent in
// this module stand as the printable ASCII characters that need no escape in
// a script's string (one byte of UTF-8 each; no quote, backslash or "<"), the
// others as characters from U+0100 on (two bytes each). In base64 the bytes'
// structure is lost to gzip: the module compressed 19 kB larger that way.
// ORVANE_WASM_KEY holds the character of each byte value, 0 to 255, in turn;
// page/loading.js turns the text back into bytes.
function wasmText(bytes) {
  const count = new Array(256).fill(0);
  for (const b of bytes) ++count[b];
  const byRank = [...count.keys()].sort((a, b) => count[b] - count[a] || a - b);
  const plain = [];
  for (let c = 0x20; c < 0x7f; ++c) if (!'"\\<'.includes(String.fromCharCode(c))) plain.push(c);
  const key = new Array(256);
  byRank.forEach((b, rank) => { key[b] = String.fromCharCode(rank < plain.length ? plain[rank] : 0x100 + rank); });
  let text = '';
  for (const b of bytes) text += key[b];
  return { key: key.join(''), text };
}
const wasm = wasmText(wasmBinary);
const wasmHash = crypto.createHash('sha256').update(wasmBinary).digest('hex').slice(0, 16);
// The pages for a host that serves files separately, with the module beside them.
const servedDir = path.join(outDir, 'served');
fs.mkdirSync(servedDir, { recursive: true });
const OrvaneTestModule = createRequire(import.meta.url)(path.resolve(testModuleFile));
const module = await OrvaneTestModule({ page: {}, wasmBinary: fs.readFileSync(testModuleFile.replace(/\.js$/, '.wasm')) });
const point = module._malloc(2);
module.stringToUTF8('.', point, 2);

const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/"/g, '&quot;');
const px = (twips, layout) => twips / layout.twipsPerPixel;
// The plot's letters, as the action table gives them.
const lettersOf = (layout) => layout.actions.map((a) => a.letter).filter(Boolean).join(' ');

// What a title bar button has beyond its entry of the action table: a switch
// read as one; the buttons that open a panel or a menu; a button shown once
// it has something to do (page/details.js).
const buttonExtras = {
  ProbeSoundSwitch: { role: 'switch', 'aria-checked': 'false' },
  SaveImageButton: { 'aria-haspopup': 'menu', 'aria-expanded': 'false', 'aria-controls': 'SaveImageMenu' },
  DetailsButton: { 'aria-expanded': 'false', 'aria-controls': 'DetailsPanel' },
  StereoPairButton: { 'aria-controls': 'PairPanel' },
  ClearKeptButton: { hidden: '' },
};

// The title bar: a button for each of the action table's page entries, in its
// order, with the page's own controls beside them: Share before the figure's
// menu, which Save image opens, and the datasheet view's range after its switch.
function titleButtons(layout) {
  const texts = layout.texts;
  const around = {
    SaveImageButton: (button) => `<button id="ShareButton" type="button">${escape(texts.share)}</button>` +
      `<div id="SaveImage">${button}<div id="SaveImageMenu" role="menu" hidden>` +
      `<button id="SavePng" type="button" role="menuitem">${escape(texts.savePng)}</button>` +
      `<button id="SaveSvg" type="button" role="menuitem">${escape(texts.saveSvg)}</button></div></div>`,
    // The datasheet view: a switch, and its range, shown while the view is.
    // (A range choice in the page from the start draws Orca in Chromium to
    // it as the page loads, away from the plot that has the focus.)
    DbButton: (button) => button + `<select id="RangeChoice" hidden aria-label="${escape(texts.rangeMenu)}" title="${escape(texts.rangeMenu)}">` +
      [20, 30, 40].map((r) => `<option value="${r}"${r === 30 ? ' selected' : ''}>${escape(texts.rangeEntry.replace('%1', r))}</option>`).join('') + '</select>',
  };
  return layout.actions.map((a) => {
    const extras = buttonExtras[a.id] || {};
    const button = `<button${attributes({
      id: a.id, type: 'button', title: a.title || undefined, 'aria-keyshortcuts': a.letter || undefined,
      'aria-pressed': a.checkable && !extras.role ? 'false' : undefined, ...extras,
    }).replace(' hidden=""', ' hidden')}>${escape(a.text)}</button>`;
    return (around[a.id] || ((b) => b))(button);
  }).join('');
}

// The stereo pair's panel, filled in by page/pair.js: its plot and curve,
// its technique, angle and side, the Blumlein button, and its figures.
function pairPanel(layout) {
  const t = layout.texts;
  const range = (id, max) => `<div id="${id}Row"><label id="${id}Label" for="${id}">${escape(t[id[0].toLowerCase() + id.slice(1)])}</label>` +
    `<input id="${id}" type="range" min="0" max="${max}" value="0">`;
  const radio = (id, value) => `<label><input type="radio" name="PairTechnique" id="${id}" value="${value}"><span id="${id}Text">${escape(t[id[0].toLowerCase() + id.slice(1)])}</span></label>`;
  return `<section id="PairPanel" aria-labelledby="PairTitle" aria-describedby="PairDescription" tabindex="-1" hidden>` +
    `<h2 id="PairTitle">${escape(t.pairTitle)}</h2><p id="PairDescription" class="visually-hidden"></p>` +
    `<div id="PairDrawings"><canvas id="PairPlot" role="img" aria-label="${escape(t.pairPlot)}" width="${layout.canvasWidth}" height="${layout.canvasHeight}"></canvas>` +
    `<canvas id="PairCurve" role="img" aria-label="${escape(t.pairCurve)}" width="${layout.canvasWidth}" height="1"></canvas></div>` +
    `<div id="PairControls"><fieldset><legend id="PairTechniqueTitle">${escape(t.pairTechnique)}</legend>${radio('PairXy', 0)}${radio('PairMs', 1)}</fieldset>` +
    `${range('PairAngle', 180)}</div>${range('PairSide', 100)}<span id="PairSideReadout"></span> dB</div>` +
    `<button id="PairBlumlein" type="button">${escape(t.pairBlumlein)}</button></div>` +
    `<dl id="PairFigures">${layout.pairFigures.map((label) => `<div><dt>${escape(label)}</dt><dd></dd></div>`).join('')}</dl></section>`;
}

function attributes(list) {
  return Object.entries(list).filter(([, v]) => v !== undefined)
    .map(([k, v]) => ` ${k}="${escape(String(v))}"`).join('');
}

function control(c, layout) {
  const style = `left:${px(c.left, layout)}px;top:${px(c.top, layout)}px;` +
    `width:${px(c.width, layout)}px;height:${px(c.height, layout)}px`;
  switch (c.kind) {
    case 'surface':
      return `<div${attributes({ id: c.name, role: 'img', tabindex: 0, 'aria-label': c.accessibleName, 'aria-description': layout.texts.listenHint, 'aria-keyshortcuts': lettersOf(layout), style: `${style};background:${layout.background}` })}>` +
        `<canvas aria-hidden="true" width="${layout.canvasWidth}" height="${layout.canvasHeight}" ` +
        `style="width:${layout.canvasWidth}px;height:${layout.canvasHeight}px"></canvas></div>`;
    case 'vslider':
    case 'hslider': {
      const s = c.slider;
      const vertical = c.kind === 'vslider';
      const length = px(vertical ? c.height : c.width, layout);
      const thumb = 11; // page.css and page/sliders.js draw the thumb this long
      let inside = `<div class="groove" style="${vertical ? 'top' : 'left'}:${thumb / 2}px;` +
        `${vertical ? 'height' : 'width'}:${length - thumb}px"></div><div class="fill"></div>`;
      for (let t = s.minimum; s.tickInterval > 0 && t <= s.maximum; t += s.tickInterval) {
        const at = Math.round(((t - s.minimum) / (s.maximum - s.minimum)) * (length - thumb) + thumb / 2);
        inside += `<div class="tick" style="top:${at}px"></div>`;
      }
      // page/sliders.js keeps these up to date; here the start's.
      const valueText = c.name === layout.sliders[2] ? module.UTF8ToString(module._orvane_spoken_angle(s.start))
        : module.UTF8ToString(module._orvane_spoken_level(s.start, point));
      return `<div${attributes({
        id: c.name, class: `slider ${vertical ? 'vertical' : 'horizontal'}`, role: 'slider', tabindex: 0,
        'aria-label': c.accessibleName, 'aria-description': c.description || undefined, 'aria-orientation': vertical ? 'vertical' : 'horizontal',
        'aria-valuemin': s.minimum, 'aria-valuemax': s.maximum, 'aria-valuenow': s.start,
        'aria-valuetext': valueText, 'data-minimum': s.minimum, 'data-maximum': s.maximum,
        'data-small-step': s.smallStep, 'data-large-step': s.largeStep, style,
      })}>${inside}<div class="thumb"></div></div>`;
    }
    case 'button':
      return `<button${attributes({ id: c.name, type: 'button', 'aria-description': c.description || undefined, 'data-preset': c.preset >= 0 ? c.preset : undefined, style })}>${escape(c.text)}</button>`;
    default: {
      const classes = ['label', c.title ? 'title' : '', c.alignRight ? 'right' : ''].filter(Boolean).join(' ');
      // A readout is read by its caption, its value and its unit: "Omni
      // -40.0864274753527 dB". It is no live region: the sliders and the
      // announcer say what an action did, in short.
      const readAs = c.kind === 'readout' ? [c.readWith[0], c.name, c.readWith[1]].filter(Boolean).join(' ') : undefined;
      return `<div${attributes({ id: c.name, class: classes, role: readAs && 'group', 'aria-labelledby': readAs, 'aria-description': c.description || undefined, style })}>${escape(c.text)}</div>`;
    }
  }
}

// The elements stand in tab order; assistive technology reads them as the
// screen shows them, from top to bottom and left to right, but each slider with
// its caption before it and, after it, the readout under it with its unit:
// "Omni", the slider, "-40.0864274753527", "dB".
function readingOrder(layout) {
  const sliders = layout.controls.filter((c) => c.slider);
  // A slider -> its caption, itself, its readout and unit; those others -> null.
  const column = new Map();
  for (const s of sliders) {
    const caption = layout.controls.find((c) => c.captionOf === s.name);
    const members = caption ? [caption.name] : [];
    members.push(s.name);
    for (const r of layout.controls)
      if (r.kind === 'readout' && caption && r.readWith[0] === caption.name) members.push(r.name, r.readWith[1]);
    column.set(s.name, members.filter(Boolean));
    for (const m of members) if (m !== s.name) column.set(m, null);
  }
  return layout.controls.slice().sort((a, b) => a.top - b.top || a.left - b.left)
    .flatMap((c) => (column.has(c.name) ? column.get(c.name) || [] : [c.name]));
}

// The page goes out small: its script's modules (page/main.js and what it
// imports) bundled and minified by esbuild (Debian's package), as are the
// module's own script and the style. The bundle stays in strict mode, as the
// modules it is made of are.
const esbuild = (args, input) => execFileSync('esbuild', ['--minify', '--log-level=warning', ...args],
  { input, maxBuffer: 1 << 26 }).toString().trim();
const pageScript = esbuild(['--bundle', '--format=iife', '--banner:js="use strict";', path.join(here, 'page', 'main.js')]);
const moduleScript = esbuild(['--loader=js'], moduleSource);
// The languages' texts, as scripts/catalogues.py wrote them for the module,
// each language's as one string, its texts joined by a "|" (which none holds:
// a "|" in a catalogue parts a button's shorter forms, written here as U+009C)
// and "" for a form a language lacks; page/main.js splits them again. Related
// languages stand side by side, so that gzip finds much of each in the one
// before it: 0.7 kB less page than a list of strings in the catalogues' order.
const catalogueSeparator = '|';
const catalogueOrder = ['ja', 'zh-CN', 'ko', 'pl', 'de', 'nl', 'fr', 'it', 'es', 'pt-BR'];
const catalogues = (() => {
  const languages = JSON.parse(fs.readFileSync(path.join(outDir, 'catalogues.json'), 'utf8'));
  const codes = catalogueOrder.filter((code) => code in languages)
    .concat(Object.keys(languages).filter((code) => !catalogueOrder.includes(code)));
  return '{' + codes.map((code) => {
    const texts = languages[code].map((text) => text ?? '');
    const holding = texts.find((text) => text.includes(catalogueSeparator));
    if (holding !== undefined) throw new Error(`${code}: a text holds "${catalogueSeparator}", which parts the page's texts: ${holding}`);
    // As catalogues.json writes them: the control characters escaped.
    const text = JSON.stringify(texts.join(catalogueSeparator))
      .replace(/[\x7f-\x9f]/g, (c) => `\\u${c.charCodeAt(0).toString(16).padStart(4, '0')}`);
    return `${JSON.stringify(code)}:${text}`;
  }).join(',') + '}';
})();
const style = esbuild(['--loader=css'], read('page.css'));

// The page must carry no "</script" inside its scripts.
const script = (text) => text.replace(/<\/script/gi, '<\\/script');

// What a search engine shows of each page.
const descriptionFull = 'How a first-order microphone\'s polar pattern arises from an omnidirectional ' +
  'and a figure-8 component: set both levels or pick a named pattern, and read the gain in any direction.';
const descriptionLite = 'How a first-order microphone\'s polar pattern arises from an omnidirectional ' +
  'and a figure-8 component: set both levels or pick a named pattern.';

for (const [edition, file] of [[0, 'index.html'], [1, 'lite.html']]) {
  const layout = JSON.parse(module.UTF8ToString(module._orvane_layout(edition)));
  const fields = {
    TITLE: escape(layout.title),
    DESCRIPTION: escape(edition === 0 ? descriptionFull : descriptionLite),
    EDITION: layout.edition,
    WIDTH: px(layout.clientWidth, layout),
    HEIGHT: px(layout.clientHeight, layout),
    CONTROLS: layout.controls.map((c) => control(c, layout)).join('\n'),
    READING: readingOrder(layout).join(' '),
    CSS: style,
    MODULE: script(moduleScript),
    // The controls themselves are in the markup; page/main.js takes the
    // layout from the module, in the user's language, as it starts. Before,
    // the script needs the edition, the sliders' and the actions' names, and
    // the text that says the module failed.
    LAYOUT: script(JSON.stringify({
      edition: layout.edition, sliders: layout.sliders, texts: { error: layout.texts.error },
      actions: layout.actions.map(({ text, title, ...entry }) => entry),
    })),
    // Every language's texts, which the module asks for as it chooses one.
    CATALOGUES: script(catalogues),
    WASM: wasm.text,
    WASMKEY: wasm.key,
    WASMFILE: '',
    PAGE: script(pageScript),
    // The action table's buttons, in the language the module was built in;
    // page/main.js puts them in the page's language.
    TITLEBUTTONS: titleButtons(layout),
    // The figures, filled in by page/details.js: a row for each, the kept pattern's
    // column shown while one is kept.
    DETAILS: `<section id="DetailsPanel" aria-labelledby="DetailsTitle" tabindex="-1" hidden>` +
      `<h2 id="DetailsTitle">${escape(layout.texts.detailsTitle)}</h2>` +
      `<p id="DetailsMessage">${escape(layout.texts.detailsNoPattern)}</p><p id="DetailsEquation" hidden></p>` +
      `<table id="DetailsTable"><thead><tr>${[layout.texts.detailsFigure, layout.texts.detailsCurrent, layout.texts.detailsKept].map((h, i) => `<th scope="col"${i === 2 ? ' class="kept"' : ''}>${escape(h)}</th>`).join('')}</tr></thead><tbody></tbody></table></section>`,
    PAIR: pairPanel(layout),
  };
  const page = (values) => read('page.html').replace(/@([A-Z]+)@/g, (all, name) => (name in values ? values[name] : all));
  fs.writeFileSync(path.join(outDir, file), page(fields));
  // For a host that serves files separately: the same page, which fetches the
  // module beside it (named with its contents' hash, so that no cache holds
  // an earlier build's module for a new page).
  fs.writeFileSync(path.join(servedDir, file), page({ ...fields, WASM: '', WASMKEY: '', WASMFILE: `orvane.wasm?${wasmHash}` }));

  // Installable when served: the edition's manifest, which the page links
  // only over http or https (page/main.js), so that from the file system it asks
  // for nothing.
  const manifest = {
    id: `./${file}`,
    name: layout.edition,
    short_name: layout.edition,
    description: edition === 0 ? descriptionFull : descriptionLite,
    start_url: `./${file}`,
    scope: './',
    display: 'standalone',
    orientation: 'any',
    background_color: '#d4d4d4',
    theme_color: '#dcdcdc',
    icons: [
      { src: 'icons/orvane-192.png', sizes: '192x192', type: 'image/png', purpose: 'any' },
      { src: 'icons/orvane-512.png', sizes: '512x512', type: 'image/png', purpose: 'any' },
      { src: 'icons/orvane-maskable-512.png', sizes: '512x512', type: 'image/png', purpose: 'maskable' },
    ],
  };
  for (const dir of [outDir, servedDir])
    fs.writeFileSync(path.join(dir, `${layout.edition}.webmanifest`), JSON.stringify(manifest, null, 2) + '\n');
}

for (const dir of [outDir, servedDir]) {
  fs.writeFileSync(path.join(dir, 'robots.txt'), 'User-agent: *\nAllow: /\n');
  if (dir !== outDir) {
    fs.writeFileSync(path.join(dir, 'orvane.wasm'), wasmBinary);
    fs.cpSync(path.join(outDir, 'icons'), path.join(dir, 'icons'), { recursive: true });
  }
  writeOffline(dir);
}
