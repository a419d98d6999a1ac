// The page in every language of the module's table: ?lang= and the browser's
// languages choose, <html lang> names the language shown, the texts are the
// module's (the desktop's catalogues), numbers take the language's decimal
// separator, and no text overflows its box in the desktop layout or the touch
// layout. Screenshots go to build-web/screens/lang-*.png.
import test from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { launch, open, webDir } from './browser.mjs';
import { loadRules } from './module.mjs';

const rules = await loadRules();
const languages = rules.languages();
const shots = path.join(webDir, 'screens');
fs.mkdirSync(shots, { recursive: true });

// What the page shows: its language, texts and every element whose text
// leaves its box (the text's own extent against the box inside the border).
const seen = (page) => page.evaluate(() => {
  const out = [];
  const boxes = [...document.querySelectorAll('#OrvaneFrm > *, #TitleButtons button:not([role="menuitem"]), #PairBlumlein, #PairFigures > div > *')];
  for (const e of boxes) {
    // Maximise's text is for screen readers only; the pair's panel holds its
    // description for them too, and its parts are checked one by one.
    if (!e.textContent.trim() || e.offsetWidth === 0 || e.id === 'Maximise' || e.id === 'PairPanel') continue;
    const range = document.createRange();
    range.selectNodeContents(e);
    const t = range.getBoundingClientRect();
    const b = e.getBoundingClientRect();
    const left = b.left + e.clientLeft;
    const readout = ['dbomni', 'dbfig8', 'LblAngle', 'LblGain'].includes(e.id); // clip by design
    // Across, the text's extent within the box; down, its height within the
    // box's: a CJK face's line is taller than a label's line height and Gecko
    // places it by the baseline, with the glyphs inside (build-web/screens).
    if (!readout && (t.left < left - 0.5 || t.right > left + e.clientWidth + 0.5 ||
        t.height > e.clientHeight + 1))
      out.push(`${e.id} "${e.textContent}" ${Math.round(t.width)}x${Math.round(t.height)} in ${e.clientWidth}x${e.clientHeight}`);
  }
  return {
    lang: document.documentElement.lang,
    texts: Object.fromEntries(['Cardiod', 'Command3', 'Label1', 'ListenButton', 'ProbeSoundSwitch', 'dbomni', 'ShareButton',
      'SaveImageButton', 'DetailsButton', 'StereoPairButton', 'KeepButton', 'ClearKeptButton', 'DbButton', 'DetailsTitle', 'DetailsMessage',
      'PairTitle', 'PairTechniqueTitle', 'PairSideLabel', 'PairBlumlein'].map((id) => [id, document.getElementById(id).textContent])),
    pairFigures: [...document.querySelectorAll('#PairFigures dt')].map((e) => e.textContent),
    overflowing: out,
  };
});

const browser = await launch();
test.after(() => browser.close());

const layouts = [
  { name: 'desktop', viewport: { width: 800, height: 600 } },
  { name: 'touch', viewport: { width: 700, height: 540 } }, // narrower than the window: page.css's touch layout
];

for (const { code, separator } of languages) {
  test(`?lang=${code}: its texts, separator and html lang; nothing overflows`, async () => {
    rules.setLanguage(code);
    const table = rules.layout(0);
    const shown = (name) => table.controls.find((c) => c.name === name).text.split('\u009c');
    for (const { name, viewport } of layouts) {
      // With the stereo pair's panel open (M/S): its texts too.
      const { page, problems } = await open(browser, `file://${path.join(webDir, 'index.html')}?lang=${code}#omni=100&fig8=100&pair=ms&side=20`, { viewport });
      const s = await seen(page);
      assert.equal(s.lang, code);
      assert.ok(shown('Cardiod').includes(s.texts.Cardiod), `${name}: ${s.texts.Cardiod}`);
      assert.ok(shown('Label1').includes(s.texts.Label1), `${name}: ${s.texts.Label1}`);
      // The title bar's buttons (the action table's and Share): the full
      // form or a shorter one that fits.
      for (const { id, text } of [{ id: 'ShareButton', text: table.texts.share }, ...table.actions])
        assert.ok(text.split('\u009c').includes(s.texts[id]), `${name}: ${id} ${s.texts[id]}`);
      assert.equal(s.texts.DetailsTitle, table.texts.detailsTitle);
      assert.equal(s.texts.DetailsMessage, table.texts.detailsNoPattern);
      assert.deepEqual([s.texts.PairTitle, s.texts.PairTechniqueTitle, s.texts.PairSideLabel, s.texts.PairBlumlein],
        [table.texts.pairTitle, table.texts.pairTechnique, table.texts.pairSide, table.texts.pairBlumlein]);
      assert.deepEqual(s.pairFigures, table.pairFigures);
      assert.equal(s.texts.dbomni, `-40${separator}0864274753527`);
      assert.deepEqual(s.overflowing, [], `${code} ${name}`);
      assert.deepEqual(problems, []);
      await page.screenshot({ path: path.join(shots, `lang-${code}-${name}.png`) });
      await page.close();
    }
  });
}

test('the browser\'s languages choose, in order, where the address names none; unknown ones give English', async () => {
  rules.setLanguage('en');
  // de_DE is the locale the set-up generates, which WebKit's LANG needs.
  const cases = [['de-DE', 'de'], ['sv-SE', 'en']];
  for (const [language, expected] of cases) {
    const other = await launch([], { language });
    try {
      const { page } = await open(other, 'index.html');
      assert.equal((await seen(page)).lang, expected, language);
    } finally {
      await other.close();
    }
  }
  const { page } = await open(browser, `file://${path.join(webDir, 'index.html')}?lang=xx-YY`);
  assert.equal((await seen(page)).lang, 'en');
  assert.equal((await seen(page)).texts.dbomni, '-40.0864274753527');
});
