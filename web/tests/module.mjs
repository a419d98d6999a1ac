// The tests' WebAssembly module (build-web/orvane_test.js: the page's module
// with the exports the tests use) loaded in node, with the rules' text
// functions as plain JavaScript functions.
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { webDir } from './paths.mjs';

export async function loadRules() {
  const OrvaneTestModule = createRequire(import.meta.url)(path.join(webDir, 'orvane_test.js'));
  // Handed over, as the page does: the module would try to fetch() it in node.
  const wasmBinary = fs.readFileSync(path.join(webDir, 'orvane_test.wasm'));
  // The languages' texts, which the page carries in its script.
  const catalogues = JSON.parse(fs.readFileSync(path.join(webDir, 'catalogues.json'), 'utf8'));
  const m = await OrvaneTestModule({ page: { catalogue: (code) => catalogues[code] }, wasmBinary });
  const point = m._malloc(2);
  m.stringToUTF8('.', point, 2);
  return {
    module: m,
    readoutText: (position) => m.UTF8ToString(m._orvane_readout_text(position, point)),
    spokenLevel: (position) => m.UTF8ToString(m._orvane_spoken_level(position, point)),
    probeText: (s1, s2, v) => m.UTF8ToString(m._orvane_probe_text(s1, s2, v, point)),
    presetAnnouncement: (index) => m.UTF8ToString(m._orvane_preset_announcement(index, point)),
    probeAnnouncement: (s1, s2, v) => m.UTF8ToString(m._orvane_probe_announcement(s1, s2, v, point)),
    layout: (edition) => JSON.parse(m.UTF8ToString(m._orvane_layout(edition))),
    languages: () => JSON.parse(m.UTF8ToString(m._orvane_languages())),
    // The language of every text from here on, as the page chooses it.
    setLanguage: (codes) => {
      const bytes = m.lengthBytesUTF8(codes) + 1;
      const at = m._malloc(bytes);
      m.stringToUTF8(codes, at, bytes);
      const chosen = m.UTF8ToString(m._orvane_set_language(at));
      m._free(at);
      return chosen;
    },
  };
}
