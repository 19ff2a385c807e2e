// Keeps the page working offline: on install it fetches every file of the
// site into a cache whose name the build writes in, changed whenever any
// file is (the program's version and a hash of the files' contents); it
// answers the site's requests from that cache first, and on activation
// deletes the caches of older builds. Other origins are never fetched.
// The names start with the site's own folder: other sites on the same
// origin (user pages of one host) keep theirs.
var cachePrefix = 'landscape ' + self.registration.scope + ' ';
var cacheName = cachePrefix + '@LANDSCAPE_VERSION@-@LANDSCAPE_SITE_HASH@';
var siteFiles = [@LANDSCAPE_SITE_FILES@];

// Past any copy in the browser's HTTP cache, so that the cache holds this
// build's files only. A new worker takes over at once: the page open now
// has its files already, the next visit gets the new ones.
self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(cacheName).then(function (cache) {
    return cache.addAll(siteFiles.map(function (file) { return new Request(file, {cache: 'reload'}); }));
  }).then(function () {
    return self.skipWaiting();
  }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) {
      return name !== cacheName && name.indexOf(cachePrefix) === 0;
    }).map(function (name) {
      return caches.delete(name);
    }));
  }).then(function () {
    return self.clients.claim();
  }));
});

// The folder itself is the page. A query string (an installed page's
// start URL may get one) does not change which file is meant.
self.addEventListener('fetch', function (event) {
  var request = event.request, scope = self.registration.scope;
  if (request.method !== 'GET' || request.url.indexOf(scope) !== 0)
    return;
  var file = request.url.slice(scope.length).split(/[?#]/)[0] || 'index.html';
  event.respondWith(caches.open(cacheName).then(function (cache) {
    return cache.match(file);
  }).then(function (response) {
    return response || fetch(request);
  }));
});
