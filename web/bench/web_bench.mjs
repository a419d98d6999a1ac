// The web editions' figures in headless Chromium: time from navigation until
// the readouts are filled, and until the next frame (the page answers input);
// one full redraw of the plot in WebAssembly, and one through the page (handler,
// readouts, canvas); the size of each page. Medians over repeated runs.
// Usage: node web/bench/web_bench.mjs   (make web-bench)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, open, webDir } from '../tests/browser.mjs';

const runs = 15;
const median = (list) => { const s = [...list].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };
const browser = await launch();

const ready = [];
const frame = [];
for (let i = 0; i <= runs; ++i) {
  const { page } = await open(browser, 'index.html');
  const times = await page.evaluate(() => new Promise((resolve) => {
    const mark = performance.getEntriesByName('orvane-ready')[0].startTime;
    requestAnimationFrame(() => setTimeout(() => resolve([mark, performance.now()])));
  }));
  if (i > 0) { // the first run warms the browser up
    ready.push(times[0]);
    frame.push(times[1]);
  }
  await page.close();
}

const { page } = await open(browser, 'index.html');
const perRedraw = await page.evaluate((count) => {
  const graph = [];
  const handler = [];
  for (let r = 0; r < count; ++r) {
    graph.push(OrvanePage.module._orvane_bench_graph(200) / 200);
    const t0 = performance.now();
    for (let k = 0; k < 50; ++k) OrvanePage.redraw();
    handler.push((performance.now() - t0) / 50);
  }
  return { graph, handler };
}, runs);
await browser.close();

const size = (file) => fs.statSync(path.join(webDir, file)).size;
const cpu = os.cpus()[0].model;
const us = (ms) => `${(ms * 1000).toFixed(0)} µs`;
console.log(`Machine: ${cpu}, ${os.cpus().length} cores; ${runs} runs, medians`);
console.log('| measure | median |');
console.log('|---|---|');
console.log(`| navigation to readouts filled (load handler done) | ${median(ready).toFixed(1)} ms |`);
console.log(`| navigation to the next frame (page answers input) | ${median(frame).toFixed(1)} ms |`);
console.log(`| one redraw of the plot in WebAssembly (Graph, cardioid) | ${us(median(perRedraw.graph))} |`);
console.log(`| one level slider handler through the page (readouts, plot, canvas) | ${us(median(perRedraw.handler))} |`);
const kB = (file) => `${(size(file) / 1000).toFixed(1)} kB (${size(file)} bytes)`;
console.log(`| index.html (HTML, script, WebAssembly; system fonts) | ${kB('index.html')} |`);
console.log(`| lite.html | ${kB('lite.html')} |`);
