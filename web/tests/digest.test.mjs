// Every text the rules can show, in WebAssembly against the desktop build: the
// same program (text_digest.cpp) built twice, its digests compared line by line
// (one line per omni position, so a difference shows where it is).
import test from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { webDir } from './paths.mjs';

test('all 101 level, 361 angle and 3,682,561 gain texts, every spoken level and plot description, and the samples of the pattern\'s sounds, equal the desktop\'s', () => {
  const native = execFileSync(process.env.ORVANE_TEXT_DIGEST || 'orvane-text-digest', { encoding: 'utf8' });
  const wasm = execFileSync(process.execPath, [path.join(webDir, 'text_digest.js')], { encoding: 'utf8' });
  const lines = (text) => text.trim().split('\n');
  assert.match(native, /^probe 3682561 /m);
  assert.match(native, /^readouts 101 /m);
  assert.match(native, /^descriptions 10302 /m);
  assert.match(native, /^sounds s1=30 s2=0 52 /m);
  const differing = lines(wasm).filter((line, i) => line !== lines(native)[i]);
  assert.deepEqual(differing, [], 'digest lines that differ from the desktop build');
  assert.equal(lines(wasm).length, lines(native).length);
});
