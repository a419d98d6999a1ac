// The web editions' figures in each browser engine: time from navigation until
// the readouts are filled, and until the next frame (the page answers input);
// one full redraw of the plot in WebAssembly, one through the page (handler,
// readouts, canvas), and a level slider's step by its arrow keys; in
// Chromium, served over http, a first visit and a second one answered by the
// service worker; the size of each page; beside them the
// native redraw of `make bench` (build-release/bench/orvane_bench, when built).
// Then, in Chromium, a redraw at a phone's size and ratio beside the desktop's,
// and Lighthouse's mobile performance figures (a mid-range phone, simulated).
// Medians over repeated runs.
// Usage: node web/bench/web_bench.mjs   (make web-bench; every engine)
//        ORVANE_BROWSER=firefox node web/bench/web_bench.mjs --json   (one engine)
//        ORVANE_BENCH_LANG=ja ...   (the page in that language: ?lang=ja)
//        ORVANE_BENCH_OLD=DIR ...   (beside another web build, DIR, a copy of an
//          earlier build-web: its page and this one's opened in turns, in the same
//          browser, for the start and the redraw through the page)
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const runs = 15;
const median = (list) => { const s = [...list].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };
const engines = ['chromium', 'firefox', 'webkit'];
const language = process.env.ORVANE_BENCH_LANG || '';
const here = path.dirname(new URL(import.meta.url).pathname);
const oldDir = process.env.ORVANE_BENCH_OLD ? path.resolve(process.env.ORVANE_BENCH_OLD) : '';

// The module with the benchmark's exports, in an open page: the page's own
// where it has them (an earlier build's page did), else the tests' module of
// the page's build started beside it.
async function benchModule(page, dir) {
  const own = await page.evaluate(() => typeof OrvanePage.module._orvane_bench_graph === 'function');
  if (own) return page.evaluate(() => { window.OrvaneBench = OrvanePage.module; });
  const source = fs.readFileSync(path.join(dir, 'orvane_test.js'), 'utf8');
  const wasm = fs.readFileSync(path.join(dir, 'orvane_test.wasm')).toString('base64');
  return page.evaluate((text, base64) => new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.textContent = text;
    document.head.appendChild(script);
    const binary = atob(base64);
    const wasmBinary = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) wasmBinary[i] = binary.charCodeAt(i);
    OrvaneTestModule({ page: {}, wasmBinary }).then((m) => { window.OrvaneBench = m; resolve(); }, reject);
  }), source, wasm);
}

// Time from navigation to the readouts, and to the next frame after that.
function timesOf(page) {
  return page.evaluate(() => new Promise((resolve) => {
    const mark = performance.getEntriesByName('orvane-ready')[0].startTime;
    requestAnimationFrame(() => setTimeout(() => resolve([mark, performance.now()])));
  }));
}

async function measureEngine() {
  const { launch, open, engine } = await import('../tests/browser.mjs');
  const { serve } = await import('../tests/serve.mjs');
  const result = { engine };
  const browser = await launch();
  result.version = await browser.version();
  const { webDir } = await import('../tests/paths.mjs');
  // This build, and the earlier one beside it when given, in turns.
  const builds = [['', webDir]];
  if (oldDir) builds.push(['old', oldDir]);
  const file = (dir, name) => 'file://' + path.join(dir, name);
  const ready = builds.map(() => []);
  const frame = builds.map(() => []);
  for (let i = 0; i <= runs; ++i) {
    // Each build first every other run, so neither always follows the other.
    for (const b of i % 2 ? [...builds.keys()].reverse() : builds.keys()) {
      const { page } = await open(browser, file(builds[b][1], language ? `index.html?lang=${language}` : 'index.html'));
      const times = await timesOf(page);
      if (i > 0) { // the first run warms the browser up
        ready[b].push(times[0]);
        frame[b].push(times[1]);
      }
      await page.close();
    }
  }
  const pages = [];
  for (const [, dir] of builds) {
    const { page } = await open(browser, file(dir, 'index.html'));
    await benchModule(page, dir);
    pages.push(page);
  }
  const graph = builds.map(() => []);
  const handler = builds.map(() => []);
  const move = builds.map(() => []);
  // The page's own work first, for every run: the benchmark's module may be
  // another instance in the page (benchModule), whose redraws would leave the
  // page's own code and data cold.
  for (let r = 0; r < runs; ++r) {
    for (const [b, page] of pages.entries()) {
      const [h, m] = await page.evaluate(() => {
        const t0 = performance.now();
        for (let k = 0; k < 200; ++k) OrvanePage.redraw();
        const perHandler = (performance.now() - t0) / 200;
        // From the cardioid, the omni level's slider moved a step down and back
        // by its keys, as a user moves it: the plot, readouts and spoken value
        // change each time.
        document.getElementById('Cardiod').click();
        const slider = document.getElementById('Slider1');
        const t1 = performance.now();
        for (let k = 0; k < 200; ++k) {
          slider.dispatchEvent(new KeyboardEvent('keydown', { key: k % 2 ? 'ArrowUp' : 'ArrowDown', bubbles: true, cancelable: true }));
        }
        return [perHandler, (performance.now() - t1) / 200];
      });
      handler[b].push(h);
      move[b].push(m);
    }
  }
  for (let r = 0; r < runs; ++r) {
    for (const [b, page] of pages.entries()) graph[b].push(await page.evaluate(() => OrvaneBench._orvane_bench_graph(200) / 200));
  }
  for (const page of pages) await page.close();
  for (const [b, [name]] of builds.entries()) {
    result[name + 'ready'] = median(ready[b]);
    result[name + 'frame'] = median(frame[b]);
    result[name + 'graph'] = median(graph[b]);
    result[name + 'handler'] = median(handler[b]);
    result[name + 'move'] = median(move[b]);
  }

  // Served: a first visit in a fresh context (from the server), and the
  // second one, which the service worker answers.
  if (engine === 'chromium') {
    const server = await serve((await import('../tests/paths.mjs')).webDir);
    const network = [];
    const worker = [];
    for (let i = 0; i <= runs; ++i) {
      const context = await browser.createBrowserContext();
      const first = await context.newPage();
      await first.goto(server.url + 'index.html');
      await first.waitForFunction(() => document.documentElement.dataset.ready === 'true');
      const firstTimes = await timesOf(first);
      await first.evaluate(() => navigator.serviceWorker.ready.then(() => undefined));
      const second = await context.newPage();
      const response = await second.goto(server.url + 'index.html');
      if (!response.fromServiceWorker()) throw new Error('the second visit did not come from the worker');
      await second.waitForFunction(() => document.documentElement.dataset.ready === 'true');
      const secondTimes = await timesOf(second);
      if (i > 0) {
        network.push(firstTimes[0]);
        worker.push(secondTimes[0]);
      }
      await context.close();
    }
    await server.close();
    result.served = median(network);
    result.worker = median(worker);
  }
  await browser.close();
  return result;
}

// One redraw of the plot at the size and ratio of a phone's touch layout (390
// by 844 CSS pixels, ratio 3), beside the desktop window's at ratio 1, taken in
// turns in the same page so that both see the same machine; and a level
// slider's handler through each page (handler, readouts, canvas).
async function phoneRedraw() {
  const { launch, open } = await import('../tests/browser.mjs');
  const phone = await launch();
  const { page: desktop } = await open(phone, 'index.html');
  const { page: mobile } = await open(phone, 'index.html',
    { viewport: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true } });
  const { webDir } = await import('../tests/paths.mjs');
  await benchModule(mobile, webDir);
  const graphs = await mobile.evaluate((count) => {
    const canvas = document.querySelector('#gra canvas');
    const ratio = canvas.width / 573;
    const desktopGraph = [];
    const phoneGraph = [];
    OrvaneBench._orvane_bench_graph_at(50, ratio); // warm-up
    for (let r = 0; r < 3 * count; ++r) {
      desktopGraph.push(OrvaneBench._orvane_bench_graph_at(50, 1) / 50);
      phoneGraph.push(OrvaneBench._orvane_bench_graph_at(50, ratio) / 50);
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
  const { startChromium, audit } = await import('../tests/lighthouse.mjs');
  const { serve } = await import('../tests/serve.mjs');
  const { webDir } = await import('../tests/paths.mjs');
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

// BM_Graph of `make bench`, when its Release build is there.
function nativeGraph() {
  const bench = path.resolve(here, '../../build-release/bench/orvane_bench');
  if (!fs.existsSync(bench)) return null;
  const out = execFileSync(bench, ['--benchmark_filter=^BM_Graph$', `--benchmark_repetitions=${runs}`,
    '--benchmark_report_aggregates_only=true', '--benchmark_format=json'],
  { encoding: 'utf8', env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
  const row = JSON.parse(out).benchmarks.find((b) => b.aggregate_name === 'median');
  const factor = { ns: 1e-6, us: 1e-3, ms: 1 }[row.time_unit];
  return row.real_time * factor;
}

if (process.argv.includes('--json')) {
  console.log(JSON.stringify(await measureEngine()));
} else {
  const results = [];
  for (const engine of engines) {
    const out = execFileSync(process.execPath, [new URL(import.meta.url).pathname, '--json'],
      { encoding: 'utf8', env: { ...process.env, ORVANE_BROWSER: engine }, stdio: ['ignore', 'pipe', 'ignore'] });
    results.push(JSON.parse(out.trim().split('\n').at(-1)));
  }
  const native = nativeGraph();
  const { webDir } = await import('../tests/paths.mjs');
  const size = (file) => fs.statSync(path.join(webDir, file)).size;
  const ms = (v) => (v === undefined ? '' : `${v.toFixed(1)} ms`);
  const us = (v) => (v === undefined ? '' : `${(v * 1000).toFixed(0)} µs`);
  const row = (name, cells) => console.log(`| ${name} | ${cells.join(' | ')} |`);
  console.log(`Machine: ${os.cpus()[0].model}, ${os.cpus().length} cores, load average ${os.loadavg().map((l) => l.toFixed(1)).join(' ')}; ${runs} runs, medians`);
  console.log(`Browsers: ${results.map((r) => `${r.engine} ${r.version}`).join('; ')}`);
  console.log('');
  // Beside an earlier build: its figure, then this one's, in each cell.
  const both = (r, key, unit) => (oldDir ? `${unit(r['old' + key])} → ${unit(r[key])}` : unit(r[key]));
  if (oldDir) console.log(`Each cell: ${oldDir} → ${(await import('../tests/paths.mjs')).webDir}, opened in turns\n`);
  row('measure', results.map((r) => r.engine));
  row('---', results.map(() => '---'));
  row('navigation until the readouts are filled (file)', results.map((r) => both(r, 'ready', ms)));
  row('navigation until the next frame after that', results.map((r) => both(r, 'frame', ms)));
  row('the same served over http, first visit', results.map((r) => ms(r.served)));
  row('second visit, answered by the service worker', results.map((r) => ms(r.worker)));
  row('one redraw of the plot in WebAssembly (Graph, cardioid)', results.map((r) => both(r, 'graph', us)));
  row('one level slider handler through the page (readouts, plot, canvas)', results.map((r) => both(r, 'handler', us)));
  row('a level slider moved a step by its key, through the page', results.map((r) => both(r, 'move', us)));
  console.log('');
  console.log(native === null ? 'Native BM_Graph: run `make bench` first to have it beside these.'
    : `Native BM_Graph (make bench's build): ${us(native)}; WebAssembly / native: ${results.map((r) => `${r.engine} ${(r.graph / native).toFixed(2)}`).join(', ')}`);
  const kB = (file) => `${(size(file) / 1000).toFixed(1)} kB (${size(file)} bytes)`;
  console.log(`index.html: ${kB('index.html')}; lite.html: ${kB('lite.html')}`);
  console.log('');
  console.log('Chromium, a phone beside the desktop, and Lighthouse:');
  console.log('| measure | median |');
  console.log('|---|---|');
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
}
