// The service worker: keeps the program and every medium fetched so far, so the game starts offline.
const CACHE = "ozzel-@VERSION@";
const PROGRAM = [@FILES@];

self.addEventListener("install", event => {
  event.waitUntil(caches.open(CACHE).then(c => c.addAll(PROGRAM)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", event => {
  // An older version's files go; the new one serves every open page at once.
  event.waitUntil(caches.keys()
    .then(keys => Promise.all(keys.filter(k => k.startsWith("ozzel-") && k !== CACHE).map(k => caches.delete(k))))
    .then(() => self.clients.claim()));
});

// From the cache first; what the network gives (a medium, the page after an update) is kept.
self.addEventListener("fetch", event => {
  if (event.request.method !== "GET") return;
  event.respondWith(caches.open(CACHE).then(async cache => {
    const hit = await cache.match(event.request, {ignoreSearch: true});
    if (hit) return hit;
    const answer = await fetch(event.request);
    if (answer.ok && new URL(event.request.url).origin === self.location.origin) cache.put(event.request, answer.clone());
    return answer;
  }));
});
