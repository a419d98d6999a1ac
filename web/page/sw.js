// The page's service worker: on the first visit it keeps both pages, their
// manifests and icons (and the module, where it is beside them) in one cache, and from then on answers from it, so the
// pages open with no network. The cache's name carries a hash of what it holds:
// a rebuilt page comes with a new worker, which fills a new cache, takes over
// and deletes the old one; the visit after that shows the new page.
'use strict';

const CACHE = '@CACHE@';
const FILES = @FILES@;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('orvane-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The folder itself is the full edition's page.
self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== self.location.origin) return;
  const scope = new URL(self.registration.scope);
  const key = url.pathname === scope.pathname ? new URL('index.html', scope).href : url.href;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(key, { ignoreSearch: true }))
    .then((kept) => kept || fetch(event.request)));
});
