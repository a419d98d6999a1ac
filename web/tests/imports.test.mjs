// The page's script as its modules stand: data flows one way, from the
// module through page/store.js to the views and back as actions. A view
// that imported another in a circle, or called the module itself, would
// bring back the tangle this layout replaced.
import test from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';

const pageDir = new URL('../page/', import.meta.url).pathname;

// Each module's relative imports, static and re-exports alike (the bundler
// follows no other kind): { 'main.js': ['store.js', ...], ... }.
export function importGraph(sources) {
  const graph = {};
  const pattern = /(?:^|[;\s])(?:import|export)\s*(?:[\w*${}\s,]*?\sfrom\s*)?['"](\.\/[^'"]+)['"]/g;
  for (const [name, source] of Object.entries(sources)) {
    const code = source.replace(/\/\*[\s\S]*?\*\//g, '').replace(/^\s*\/\/.*$/gm, '');
    graph[name] = [...code.matchAll(pattern)].map((m) => path.posix.normalize(m[1]));
  }
  return graph;
}

// Every circle, each once, as the modules along it: ['a.js', 'b.js', 'a.js'].
export function circles(graph) {
  const found = new Map();
  const walk = (name, trail) => {
    const at = trail.indexOf(name);
    if (at >= 0) {
      const loop = trail.slice(at);
      // The same circle entered elsewhere: named from its least module.
      const start = loop.indexOf([...loop].sort()[0]);
      const key = [...loop.slice(start), ...loop.slice(0, start)];
      found.set(key.join(' '), [...key, key[0]]);
      return;
    }
    for (const next of graph[name] || []) walk(next, [...trail, name]);
  };
  for (const name of Object.keys(graph)) walk(name, []);
  return [...found.values()].map((loop) => loop.join(' -> '));
}

const sources = Object.fromEntries(fs.readdirSync(pageDir).filter((f) => f.endsWith('.js') && f !== 'sw.js')
  .map((f) => [f, fs.readFileSync(path.join(pageDir, f), 'utf8')]));

test('the finder sees the imports and circles it must', () => {
  // [modules' sources, their imports, their circles]
  const table = [
    [{ 'a.js': "import { x } from './b.js';\nimport './c.js';", 'b.js': '', 'c.js': '' }, { 'a.js': ['b.js', 'c.js'], 'b.js': [], 'c.js': [] }, []],
    [{ 'a.js': "import {\n  x,\n  y,\n} from './b.js';", 'b.js': "export { z } from './a.js';" }, { 'a.js': ['b.js'], 'b.js': ['a.js'] }, ['a.js -> b.js -> a.js']],
    [{ 'a.js': "// import './b.js';\nimport * as c from './c.js';", 'b.js': "import './a.js';", 'c.js': "import './c.js';" },
      { 'a.js': ['c.js'], 'b.js': ['a.js'], 'c.js': ['c.js'] }, ['c.js -> c.js']],
    [{ 'b.js': "import './c.js';", 'c.js': "import './a.js';", 'a.js': "import './b.js';" }, null, ['a.js -> b.js -> c.js -> a.js']],
  ];
  for (const [given, imports, expected] of table) {
    const graph = importGraph(given);
    if (imports) assert.deepEqual(graph, imports);
    assert.deepEqual(circles(graph), expected);
  }
});

test("the page's modules import each other in no circle", () => {
  const graph = importGraph(sources);
  assert.ok(graph['main.js'].length > 3, 'main.js imports the views');
  for (const [name, imports] of Object.entries(graph))
    for (const target of imports) assert.ok(target in sources, `${name} imports ${target}, which is not there`);
  assert.deepEqual(circles(graph), [], 'circles among web/page/*.js');
});

test('only the store calls into the WebAssembly', () => {
  // loading.js makes the module; store.js alone calls it.
  const calls = /_orvane_|\bccall\b|\bHEAP(?:U8|F32)\b|UTF8ToString/;
  const callers = Object.entries(sources).filter(([name, source]) => calls.test(source)).map(([name]) => name);
  assert.deepEqual(callers, ['store.js']);
});
