// Every text the rules can show, in WebAssembly against the desktop build: the
// same program (text_digest.cpp) built twice, its digests compared line by line
// (one line per omni position, so a difference shows where it is). The one
// WebAssembly module runs in the browser's own JavaScript engine (V8, SpiderMonkey
// or JavaScriptCore), and under node.
import test from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { engine, launch, webDir } from './browser.mjs';

const lines = (text) => text.trim().split('\n');
const native = execFileSync(process.env.ORVANE_TEXT_DIGEST || 'orvane-text-digest', { encoding: 'utf8' });

function compare(digest) {
  assert.match(native, /^probe 3682561 /m);
  assert.match(native, /^readouts 101 /m);
  assert.match(native, /^descriptions 10302 /m);
  assert.match(native, /^sounds s1=30 s2=0 52 /m);
  const differing = lines(digest).filter((line, i) => line !== lines(native)[i]);
  assert.deepEqual(differing, [], 'digest lines that differ from the desktop build');
  assert.equal(lines(digest).length, lines(native).length);
}

test(`${engine}: all 101 level, 361 angle and 3,682,561 gain texts, every spoken level and plot description, and the samples of the pattern's sounds, equal the desktop's`, async () => {
  const browser = await launch();
  try {
    const page = await browser.newPage();
    await page.goto('about:blank');
    const source = fs.readFileSync(path.join(webDir, 'text_digest.js'), 'utf8');
    // The program prints its digest through Module.print and ends with postRun.
    const printed = await page.evaluate((text) => new Promise((resolve, reject) => {
      const out = [];
      window.Module = { print: (line) => out.push(line), printErr: (line) => out.push('stderr: ' + line),
        postRun: [() => resolve(out.join('\n'))], onAbort: (what) => reject(new Error('aborted: ' + what)) };
      const script = document.createElement('script');
      script.textContent = text;
      document.head.appendChild(script);
    }), source);
    compare(printed);
  } finally {
    await browser.close();
  }
});

test('node: the same module under node equals the desktop\'s', { skip: engine !== 'chromium' && `${engine}: run once, with the chromium variant` }, () => {
  compare(execFileSync(process.execPath, [path.join(webDir, 'text_digest.js')], { encoding: 'utf8' }));
});
