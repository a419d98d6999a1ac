// Lighthouse on both pages, served over http as a static host serves them, in
// Debian's Chromium: accessibility, best practices and SEO score 100 with its
// mobile preset (a mid-range phone) and its desktop preset. These three do not
// depend on the machine's speed; performance does, and is in the benchmark.
import test from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { lacks, webDir } from './browser.mjs';
import { startChromium, audit } from './lighthouse.mjs';
import { serve } from './serve.mjs';

const categories = ['accessibility', 'best-practices', 'seo'];

// The audits that lost points in `category`, with what Lighthouse says of each.
function failures(lhr, category) {
  return lhr.categories[category].auditRefs
    .filter((ref) => ref.weight > 0)
    .map((ref) => lhr.audits[ref.id])
    .filter((a) => a.score !== null && a.score < 1)
    .map((a) => `${a.id}: ${a.title}` +
      (a.details && a.details.items ? ' ' + JSON.stringify(a.details.items.slice(0, 3)) : ''));
}

// Lighthouse audits through Chromium's DevTools protocol: the test matrix runs
// this file in Chromium alone; started by hand in another engine, its cases
// are skipped with that reason.
const skip = lacks('devtools');
let server;
let chrome;
if (!skip) {
  server = await serve(webDir);
  chrome = await startChromium();
  test.after(async () => {
    await chrome.close();
    await server.close();
  });
}

for (const file of ['index.html', 'lite.html']) {
  for (const preset of ['mobile', 'desktop']) {
    test(`${file}, Lighthouse's ${preset} preset: accessibility, best practices and SEO 100`, { skip }, async () => {
      const lhr = await audit(chrome, server.url + file, preset, categories);
      assert.equal(lhr.runtimeError, undefined, lhr.runtimeError && lhr.runtimeError.message);
      for (const category of categories)
        assert.equal(lhr.categories[category].score, 1,
          `${category} ${lhr.categories[category].score}:\n${failures(lhr, category).join('\n')}`);
    });
  }
}

test('robots.txt lets every crawler in', () => {
  assert.equal(fs.readFileSync(path.join(webDir, 'robots.txt'), 'utf8'), 'User-agent: *\nAllow: /\n');
});
