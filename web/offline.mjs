// Writes the service worker (sw.js, from page/sw.js) into a web build's folder:
// the files it keeps for offline use, and a cache name with a hash of their
// contents, so that any change to them makes a new worker and a new cache.
// Usage: node offline.mjs DIR   (make_page.mjs does it after writing the pages)
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';

const here = path.dirname(new URL(import.meta.url).pathname);

// What the worker keeps: both pages, their manifests and the icons, and the
// module where it is beside the pages (make_page.mjs's served/).
export function offlineFiles(dir) {
  const icons = fs.readdirSync(path.join(dir, 'icons')).filter((f) => f.endsWith('.png')).sort()
    .map((f) => `icons/${f}`);
  const module = fs.existsSync(path.join(dir, 'orvane.wasm')) ? ['orvane.wasm'] : [];
  return ['index.html', 'lite.html', ...module, 'Orvane.webmanifest', 'OrvaneLite.webmanifest', ...icons];
}

export function writeOffline(dir) {
  const files = offlineFiles(dir);
  const hash = crypto.createHash('sha256');
  for (const file of files) {
    hash.update(file + '\n');
    hash.update(fs.readFileSync(path.join(dir, file)));
  }
  const cache = `orvane-${hash.digest('hex').slice(0, 16)}`;
  const source = fs.readFileSync(path.join(here, 'page', 'sw.js'), 'utf8')
    .replace('@CACHE@', cache)
    .replace('@FILES@', JSON.stringify(files.map((f) => `./${f}`)));
  fs.writeFileSync(path.join(dir, 'sw.js'), source);
  return { cache, files };
}

if (process.argv[1] && path.resolve(process.argv[1]) === new URL(import.meta.url).pathname)
  console.log(writeOffline(process.argv[2]).cache);
