// The service worker: the offline copy. Files named by their content (program, fonts, media) are kept
// in one cache across builds; the page's own files in one cache per build. A build takes over only when
// its whole copy is in place and checked, and an update never empties the offline copy.
"use strict";

const SITE = /*@SITE@*/ {build: "dev", named: [], plain: [], media: {}};
const FILES_CACHE = "ozzel-files";
const PAGE_CACHE = "ozzel-page-" + SITE.build;

async function Sha256Hex(bytes) {
  const digest = await crypto.subtle.digest("SHA-256", bytes);
  return Array.from(new Uint8Array(digest), b => b.toString(16).padStart(2, "0")).join("");
}

// ENTRY's response, checked against its size and hash; `mode` "reload" goes past the HTTP cache.
async function Checked(entry, mode) {
  const answer = await fetch(entry.url, {cache: mode});
  if (!answer.ok) throw new Error(entry.url + ": " + answer.status);
  const bytes = new Uint8Array(await answer.arrayBuffer());
  if (bytes.length !== entry.size || (await Sha256Hex(bytes)) !== entry.sha256)
    throw new Error(entry.url + " arrived damaged (" + bytes.length + " of " + entry.size + " bytes)");
  return new Response(bytes, {headers: {"content-type": answer.headers.get("content-type") || ""}});
}

// A file named by its content: the copy already kept (by the page or an earlier build) when it is whole.
async function KeepNamed(files, entry) {
  const hit = await files.match(entry.url);
  if (hit) {
    const bytes = new Uint8Array(await hit.arrayBuffer());
    if (bytes.length === entry.size && (await Sha256Hex(bytes)) === entry.sha256) return;
  }
  // Its name changes with its bytes: the HTTP cache may answer, the check above still holds.
  let answer;
  try { answer = await Checked(entry, "default"); } catch (e) { answer = await Checked(entry, "reload"); }
  await files.put(entry.url, answer);
}

self.addEventListener("install", event => {
  event.waitUntil((async () => {
    const files = await caches.open(FILES_CACHE);
    const page = await caches.open(PAGE_CACHE);
    // The media of the languages played here already: the new build's medium of each comes too.
    const kept = (await files.keys()).map(r => new URL(r.url).pathname);
    const media = Object.entries(SITE.media)
      .filter(([lang, m]) => kept.some(p => p.includes("/media/" + lang + ".")))
      .map(([lang, m]) => m);
    await Promise.all([...SITE.named, ...media].map(e => KeepNamed(files, e)));
    // The page's own files come past the HTTP cache, which may still hold the last build's.
    for (const e of SITE.plain) await page.put(e.url === "index.html" ? "./" : e.url, await Checked(e, "reload"));
  })());
});

// Asked by a page still on its start screen: this build serves from now on (the page then reloads).
self.addEventListener("message", event => { if (event.data === "take-over") self.skipWaiting(); });

self.addEventListener("activate", event => {
  event.waitUntil((async () => {
    // Only now, with this build's copy whole: the older builds' page files, and named files no build of
    // this site names any more (an older build's program, a replaced medium).
    for (const k of await caches.keys()) if (k.startsWith("ozzel-page-") && k !== PAGE_CACHE) await caches.delete(k);
    const files = await caches.open(FILES_CACHE);
    const wanted = new Set([...SITE.named, ...Object.values(SITE.media)].map(e => new URL(e.url, self.registration.scope).href));
    for (const r of await files.keys()) if (!wanted.has(r.url)) await files.delete(r);
    await self.clients.claim();
  })());
});

self.addEventListener("fetch", event => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith((async () => {
    const page = await caches.open(PAGE_CACHE);
    const hit = (request.mode === "navigate" ? await page.match("./") : await page.match(request, {ignoreSearch: true})) ||
                (await (await caches.open(FILES_CACHE)).match(request, {ignoreSearch: true}));
    return hit || fetch(request);
  })());
});
