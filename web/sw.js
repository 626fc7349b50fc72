// Keeps the whole site, the sample data too, in one cache for each build, so
// that after one visit the page opens and searches the sample without its
// server. scripts/web.sh names the build (from what its files hold) and lists
// the files below when it assembles the site; a new build is a new script,
// which the browser installs beside the old one and which then takes over and
// deletes the older builds' caches.
const BUILD = 'unassembled';
const FILES = [];

const PREFIX = 'dropcalc-';
const CACHE = PREFIX + BUILD;

// A file's address as the page asks for it (folders.js encodes each part of
// a sample path so too); './' is the folder itself, which serves index.html.
const address = (path) => new URL(path.split('/').map(encodeURIComponent).join('/'), self.location).href;

self.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(CACHE)
      .then((cache) => cache.addAll(['./', ...FILES].map((path) => new Request(address(path), { cache: 'reload' }))))
      .then(() => self.skipWaiting()),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) => Promise.all(names.filter((name) => name.startsWith(PREFIX) && name !== CACHE).map((name) => caches.delete(name))))
      .then(() => self.clients.claim()),
  );
});

// The site's own files come from the cache; anything else (a file added to
// the server after the build) from the network. The cache is looked up by
// name, not opened: a worker that a newer build replaced while one of its
// answers was under way must not make its deleted cache anew.
self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET' || !request.url.startsWith(self.registration.scope)) return;
  event.respondWith(caches.match(request, { cacheName: CACHE }).then((hit) => hit ?? fetch(request)));
});
