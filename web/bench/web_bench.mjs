// The web editions' figures in each browser engine: time from navigation until
// the readouts are filled, and until the next frame (the page answers input);
// one full redraw of the plot in WebAssembly, and one through the page (handler,
// readouts, canvas); in Chromium, served over http, a first visit and a second
// one answered by the service worker; the size of each page; beside them the
// native redraw of `make bench` (build-release/bench/orvane_bench, when built).
// Medians over repeated runs.
// Usage: node web/bench/web_bench.mjs   (make web-bench; every engine)
//        ORVANE_BROWSER=firefox node web/bench/web_bench.mjs --json   (one engine)
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const runs = 15;
const median = (list) => { const s = [...list].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };
const engines = ['chromium', 'firefox', 'webkit'];
const here = path.dirname(new URL(import.meta.url).pathname);

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
  const ready = [];
  const frame = [];
  for (let i = 0; i <= runs; ++i) {
    const { page } = await open(browser, 'index.html');
    const times = await timesOf(page);
    if (i > 0) { // the first run warms the browser up
      ready.push(times[0]);
      frame.push(times[1]);
    }
    await page.close();
  }
  result.ready = median(ready);
  result.frame = median(frame);

  const { page } = await open(browser, 'index.html');
  const perRedraw = await page.evaluate((count) => {
    const graph = [];
    const handler = [];
    for (let r = 0; r < count; ++r) {
      graph.push(OrvanePage.module._orvane_bench_graph(200) / 200);
      const t0 = performance.now();
      for (let k = 0; k < 200; ++k) OrvanePage.redraw();
      handler.push((performance.now() - t0) / 200);
    }
    return { graph, handler };
  }, runs);
  await page.close();
  result.graph = median(perRedraw.graph);
  result.handler = median(perRedraw.handler);

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
  const ms = (v) => (v === undefined ? '' : `${v.toFixed(0)} ms`);
  const us = (v) => (v === undefined ? '' : `${(v * 1000).toFixed(0)} µs`);
  const row = (name, cells) => console.log(`| ${name} | ${cells.join(' | ')} |`);
  console.log(`Machine: ${os.cpus()[0].model}, ${os.cpus().length} cores, load average ${os.loadavg().map((l) => l.toFixed(1)).join(' ')}; ${runs} runs, medians`);
  console.log(`Browsers: ${results.map((r) => `${r.engine} ${r.version}`).join('; ')}`);
  console.log('');
  row('measure', results.map((r) => r.engine));
  row('---', results.map(() => '---'));
  row('navigation until the readouts are filled (file)', results.map((r) => ms(r.ready)));
  row('navigation until the next frame after that', results.map((r) => ms(r.frame)));
  row('the same served over http, first visit', results.map((r) => ms(r.served)));
  row('second visit, answered by the service worker', results.map((r) => ms(r.worker)));
  row('one redraw of the plot in WebAssembly (Graph, cardioid)', results.map((r) => us(r.graph)));
  row('one level slider handler through the page (readouts, plot, canvas)', results.map((r) => us(r.handler)));
  console.log('');
  console.log(native === null ? 'Native BM_Graph: run `make bench` first to have it beside these.'
    : `Native BM_Graph (make bench's build): ${us(native)}; WebAssembly / native: ${results.map((r) => `${r.engine} ${(r.graph / native).toFixed(2)}`).join(', ')}`);
  const kB = (file) => `${(size(file) / 1000).toFixed(1)} kB (${size(file)} bytes)`;
  console.log(`index.html: ${kB('index.html')}; lite.html: ${kB('lite.html')}`);
}
