import path from 'node:path';

// The web build's folder; CTest passes it, `make` builds it at build-web/.
export const webDir = path.resolve(process.env.ORVANE_WEB_DIR ||
  new URL('../../build-web', import.meta.url).pathname);
