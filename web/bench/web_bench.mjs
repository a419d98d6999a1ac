// The web editions' figures in headless Chromium: time from navigation until
// the readouts are filled, and until the next frame (the page answers input);
// one full redraw of the plot in WebAssembly, and one through the page (handler,
// readouts, canvas); the size of each page. Medians over repeated runs. Then a
// redraw at a phone's size and ratio beside the desktop's, and Lighthouse's
// mobile performance figures (a mid-range phone, simulated).
// Usage: node web/bench/web_bench.mjs   (make web-bench)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, open, webDir } from '../tests/browser.mjs';
import { startChromium, audit } from '../tests/lighthouse.mjs';
import { serve } from '../tests/serve.mjs';

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

// One redraw of the plot at the size and ratio of a phone's touch layout (390
// by 844 CSS pixels, ratio 3), beside the desktop window's at ratio 1, taken in
// turns in the same page so that both see the same machine; and a level
// slider's handler through each page (handler, readouts, canvas).
async function phoneRedraw() {
  const phone = await launch();
  const { page: desktop } = await open(phone, 'index.html');
  const { page: mobile } = await open(phone, 'index.html',
    { viewport: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true } });
  const graphs = await mobile.evaluate((count) => {
    const canvas = document.querySelector('#gra canvas');
    const ratio = canvas.width / 573;
    const desktopGraph = [];
    const phoneGraph = [];
    OrvanePage.module._orvane_bench_graph_at(50, ratio); // warm-up
    for (let r = 0; r < 3 * count; ++r) {
      desktopGraph.push(OrvanePage.module._orvane_bench_graph_at(50, 1) / 50);
      phoneGraph.push(OrvanePage.module._orvane_bench_graph_at(50, ratio) / 50);
    }
    return { size: `${canvas.width} x ${canvas.height}`, desktopGraph, phoneGraph };
  }, runs);
  const handler = (page) => page.evaluate((count) => {
    const times = [];
    for (let r = 0; r < count; ++r) {
      const t0 = performance.now();
      for (let k = 0; k < 30; ++k) OrvanePage.redraw();
      times.push((performance.now() - t0) / 30);
    }
    return times;
  }, runs);
  const figures = {
    desktop: { size: '573 x 477', graph: graphs.desktopGraph, handler: await handler(desktop) },
    phone: { size: graphs.size, graph: graphs.phoneGraph, handler: await handler(mobile) },
  };
  await phone.close();
  return figures;
}

// Lighthouse's mobile preset on index.html over http: performance score,
// largest contentful paint and total blocking time, medians of a few runs.
async function lighthouseMobile(count) {
  const server = await serve(webDir);
  const chrome = await startChromium();
  const score = [];
  const lcp = [];
  const tbt = [];
  for (let i = 0; i < count; ++i) {
    const lhr = await audit(chrome, server.url + 'index.html', 'mobile', ['performance']);
    score.push(lhr.categories.performance.score);
    lcp.push(lhr.audits['largest-contentful-paint'].numericValue);
    tbt.push(lhr.audits['total-blocking-time'].numericValue);
  }
  await chrome.close();
  await server.close();
  return { score, lcp, tbt };
}

const redraws = await phoneRedraw();
console.log(`| one redraw of the plot, desktop window (${redraws.desktop.size} pixels) | ${us(median(redraws.desktop.graph))} |`);
console.log(`| one redraw of the plot, phone's touch layout (${redraws.phone.size} pixels, ratio 3) | ${us(median(redraws.phone.graph))} |`);
console.log(`| phone / desktop redraw | ${(median(redraws.phone.graph) / median(redraws.desktop.graph)).toFixed(2)} |`);
console.log(`| one level slider handler through the page, desktop window | ${us(median(redraws.desktop.handler))} |`);
console.log(`| one level slider handler through the page, phone's touch layout | ${us(median(redraws.phone.handler))} |`);
const lh = await lighthouseMobile(5);
console.log(`| Lighthouse mobile: performance score (5 runs) | ${median(lh.score).toFixed(2)} |`);
console.log(`| Lighthouse mobile: largest contentful paint (simulated phone) | ${median(lh.lcp).toFixed(0)} ms |`);
console.log(`| Lighthouse mobile: total blocking time | ${median(lh.tbt).toFixed(0)} ms |`);
