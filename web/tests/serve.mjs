// A static file server on the loopback, as any static host serves the web
// build: files by path, with their types, nothing else. For the tests and the
// benchmark that need the pages over http rather than from the file system.
//
//   const server = await serve(dir);   // server.url is http://127.0.0.1:PORT/
//   server.root = otherDir;            // serve another build from the same origin
//   await server.close();
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.txt': 'text/plain; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
};

export async function serve(root, { port = 0 } = {}) {
  const state = { root: path.resolve(root), requests: [] };
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    state.requests.push(url.pathname);
    let name = decodeURIComponent(url.pathname);
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(state.root, path.normalize(name));
    // Nothing outside the folder, and no folder listings.
    if (!file.startsWith(state.root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404, { 'Content-Type': 'text/plain; charset=utf-8' });
      response.end('Not found\n');
      return;
    }
    response.writeHead(200, {
      'Content-Type': types[path.extname(file)] || 'application/octet-stream',
      'Cache-Control': 'no-cache',
    });
    response.end(request.method === 'HEAD' ? undefined : fs.readFileSync(file));
  });
  // Connections a browser keeps open must not hold up close().
  const sockets = new Set();
  server.on('connection', (socket) => {
    sockets.add(socket);
    socket.on('close', () => sockets.delete(socket));
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', resolve);
  });
  const url = `http://127.0.0.1:${server.address().port}/`;
  return {
    url,
    get root() { return state.root; },
    set root(dir) { state.root = path.resolve(dir); },
    // The paths asked for so far, in order.
    get requests() { return state.requests; },
    close: () => new Promise((resolve) => {
      for (const socket of sockets) socket.destroy();
      server.close(() => resolve());
    }),
  };
}
