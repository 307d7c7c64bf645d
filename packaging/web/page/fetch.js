// Fetching what the game needs once: from the offline copy when it is there, else from the network with
// its bytes counted and a stall noticed; every file checked against the site's list before it is used or kept.
"use strict";

// The offline copy of every file named by its content (program, fonts, media): kept across updates.
const FILES_CACHE = "ozzel-files";

async function Sha256Hex(bytes) {
  const digest = await crypto.subtle.digest("SHA-256", bytes);
  return Array.from(new Uint8Array(digest), b => b.toString(16).padStart(2, "0")).join("");
}

// True when BYTES are the file ENTRY ({url, size, sha256}) names. Without Web Crypto (a plain http
// host) the length is all that can be checked.
async function Verified(entry, bytes) {
  if (bytes.length !== entry.size) return false;
  if (!(self.crypto && crypto.subtle)) return true;
  return (await Sha256Hex(bytes)) === entry.sha256;
}

class OfflineError extends Error {}

// A shared count of bytes over everything fetched, for one progress bar.
function Progress(onChange) {
  return {total: 0, seen: 0, Add(n) { this.total += n; onChange(this); }, Saw(n) { this.seen += n; onChange(this); }};
}

async function OpenFilesCache() {
  try { return self.caches ? await caches.open(FILES_CACHE) : null; } catch (e) { return null; }
}

// The bytes of ENTRY: the offline copy when it is whole, else the network's (kept for the next time).
// Rejects with OfflineError when nothing arrives for `stallMs`, with DamagedError when the bytes are wrong.
async function FetchVerified(entry, progress, stallMs = 20000) {
  progress.Add(entry.size);
  const cache = await OpenFilesCache();
  if (cache) {
    try {
      const hit = await cache.match(entry.url);
      if (hit) {
        const bytes = new Uint8Array(await hit.arrayBuffer());
        if (await Verified(entry, bytes)) {
          progress.Saw(entry.size);
          return bytes;
        }
        await cache.delete(entry.url);
      }
    } catch (e) { /* a copy that cannot be read is fetched again */ }
  }
  let bytes;
  try {
    bytes = await Download(entry, progress, stallMs, "default");
  } catch (e) {
    // A host caught half-way through a deploy may have had its wrong bytes kept by the HTTP cache under
    // the file's for-ever name: once more, past that cache.
    if (!(e instanceof DamagedError)) throw e;
    bytes = await Download(entry, progress, stallMs, "reload");
  }
  if (cache) await cache.put(entry.url, new Response(bytes)).catch(() => {});
  return bytes;
}

async function Download(entry, progress, stallMs, mode) {
  const stop = new AbortController();
  let timer = setTimeout(() => stop.abort(), stallMs);
  const Alive = () => { clearTimeout(timer); timer = setTimeout(() => stop.abort(), stallMs); };
  let answer;
  try {
    answer = await fetch(entry.url, {signal: stop.signal, cache: mode});
    if (!answer.ok) throw new OfflineError(entry.url + ": " + answer.status);
    // A host that sent it with Content-Encoding: gzip has unpacked it already: the count is then of the
    // unpacked bytes, which may exceed the file's size.
    const parts = [];
    let got = 0;
    const reader = answer.body.getReader();
    for (;;) {
      const {done, value} = await reader.read();
      if (done) break;
      Alive();
      parts.push(value);
      got += value.length;
      if (got > entry.size * 20 + (1 << 20)) throw new DamagedError(entry.url + " is larger than it should be");
      progress.Saw(Math.min(value.length, Math.max(0, entry.size - (got - value.length))));
    }
    const bytes = new Uint8Array(got);
    let at = 0;
    for (const p of parts) bytes.set(p, at), at += p.length;
    if (!(await Verified(entry, bytes))) throw new DamagedError(entry.url + " arrived damaged (" + got + " of " + entry.size + " bytes)");
    return bytes;
  } catch (e) {
    if (e instanceof DamagedError || e instanceof OfflineError) throw e;
    throw new OfflineError(entry.url + ": " + (stop.signal.aborted ? "nothing arrived for " + stallMs / 1000 + " s" : e.message));
  } finally {
    clearTimeout(timer);
  }
}

// The medium's files from its gzipped tar, unpacked as a stream (no long task), bounded by TarReader.
async function UnpackMedium(gz) {
  const tar = TarReader();
  if (gz[0] === 0x1f && gz[1] === 0x8b && typeof DecompressionStream === "undefined")
    throw new OldBrowserError("no DecompressionStream");
  // Fed in small pieces: the whole archive inflated in one go is a long task that freezes the page.
  const pieces = new ReadableStream({
    start(out) {
      for (let at = 0; at < gz.length; at += 32768) out.enqueue(gz.subarray(at, at + 32768));
      out.close();
    },
  }, {highWaterMark: 1});
  const unpacked = gz[0] === 0x1f && gz[1] === 0x8b ? pieces.pipeThrough(new DecompressionStream("gzip")) : pieces;
  const reader = unpacked.getReader();
  try {
    // Promises alone never give the page its turn: a timer every few milliseconds of work does.
    let since = performance.now();
    for (;;) {
      const {done, value} = await reader.read();
      if (done) break;
      tar.Feed(value);
      if (performance.now() - since > 20) {
        await new Promise(r => setTimeout(r, 0));
        since = performance.now();
      }
    }
  } catch (e) {
    reader.cancel().catch(() => {});
    throw e instanceof DamagedError ? e : new DamagedError("the medium's archive is damaged: " + e.message);
  }
  return tar.End();
}
