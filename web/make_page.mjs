// Writes index.html (Orvane) and lite.html (OrvaneLite) from page/page.html:
// the controls of the layout table, which the compiled module hands out, at
// their places in pixels of 15 twips, with the stylesheet, the module and the
// page's script inside each file.
// Usage: node make_page.mjs MODULE.js OUTPUT_DIR   (MODULE.wasm beside MODULE.js)
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';

const [moduleFile, outDir] = process.argv.slice(2);
const here = path.dirname(new URL(import.meta.url).pathname);
const read = (name) => fs.readFileSync(path.join(here, 'page', name), 'utf8');
const moduleSource = fs.readFileSync(moduleFile, 'utf8');
const wasmBinary = fs.readFileSync(moduleFile.replace(/\.js$/, '.wasm'));
const wasm = wasmBinary.toString('base64');
const OrvaneModule = createRequire(import.meta.url)(path.resolve(moduleFile));
const module = await OrvaneModule({ page: {}, wasmBinary });
const point = module._malloc(2);
module.stringToUTF8('.', point, 2);

const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/"/g, '&quot;');
const px = (twips, layout) => twips / layout.twipsPerPixel;

function attributes(list) {
  return Object.entries(list).filter(([, v]) => v !== undefined)
    .map(([k, v]) => ` ${k}="${escape(String(v))}"`).join('');
}

function control(c, layout) {
  const style = `left:${px(c.left, layout)}px;top:${px(c.top, layout)}px;` +
    `width:${px(c.width, layout)}px;height:${px(c.height, layout)}px`;
  switch (c.kind) {
    case 'surface':
      return `<div${attributes({ id: c.name, role: 'img', tabindex: 0, 'aria-label': c.accessibleName, 'aria-description': 'Press L to listen to the pattern.', 'aria-keyshortcuts': 'L', style: `${style};background:${layout.background}` })}>` +
        `<canvas aria-hidden="true" width="${layout.canvasWidth}" height="${layout.canvasHeight}" ` +
        `style="width:${layout.canvasWidth}px;height:${layout.canvasHeight}px"></canvas></div>`;
    case 'vslider':
    case 'hslider': {
      const s = c.slider;
      const vertical = c.kind === 'vslider';
      const length = px(vertical ? c.height : c.width, layout);
      const thumb = 11; // page.css and page.js draw the thumb this long
      let inside = `<div class="groove" style="${vertical ? 'top' : 'left'}:${thumb / 2}px;` +
        `${vertical ? 'height' : 'width'}:${length - thumb}px"></div><div class="fill"></div>`;
      for (let t = s.minimum; s.tickInterval > 0 && t <= s.maximum; t += s.tickInterval) {
        const at = Math.round(((t - s.minimum) / (s.maximum - s.minimum)) * (length - thumb) + thumb / 2);
        inside += `<div class="tick" style="top:${at}px"></div>`;
      }
      // page.js keeps these up to date; here the start's.
      const valueText = c.name === layout.sliders[2] ? `${s.start} degrees`
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
      const readout = c.kind === 'readout';
      const classes = ['label', c.title ? 'title' : '', c.alignRight ? 'right' : ''].filter(Boolean).join(' ');
      // Readouts announce their new values, politely.
      return `<div${attributes({ id: c.name, class: classes, 'aria-live': readout ? 'polite' : undefined, 'aria-atomic': readout ? 'true' : undefined, 'aria-description': c.description || undefined, style })}>${escape(c.text)}</div>`;
    }
  }
}

// The page must carry no "</script" inside its scripts.
const script = (text) => text.replace(/<\/script/gi, '<\\/script');

for (const [edition, file] of [[0, 'index.html'], [1, 'lite.html']]) {
  const layout = JSON.parse(module.UTF8ToString(module._orvane_layout(edition)));
  const fields = {
    TITLE: escape(layout.title),
    EDITION: layout.edition,
    WIDTH: px(layout.clientWidth, layout),
    HEIGHT: px(layout.clientHeight, layout),
    CONTROLS: layout.controls.map((c) => control(c, layout)).join('\n'),
    CSS: read('page.css'),
    MODULE: script(moduleSource),
    LAYOUT: script(JSON.stringify(layout)),
    WASM: wasm,
    PAGE: script(read('page.js')),
    // Listening, and in the full edition the probing sound's switch.
    TITLEBUTTONS: '<button id="ListenButton" type="button" title="Listen to the pattern (L on the plot)">Listen</button>' +
      (layout.edition === 'Orvane' ? '<button id="ProbeSoundSwitch" type="button" role="switch" aria-checked="false">Probing sound</button>' : ''),
  };
  const html = read('page.html').replace(/@([A-Z]+)@/g, (all, name) => (name in fields ? fields[name] : all));
  fs.writeFileSync(path.join(outDir, file), html);
}
