// The medium's archive, read as it arrives: ustar files confined to the medium's folder, bounded in count and size.
"use strict";

class DamagedError extends Error {}
// The browser lacks what the page needs (Safari before 16.4 unpacks no gzip stream): it is said so.
class OldBrowserError extends Error {}

// What a medium may hold: ours is about 900 files and 40 MB unpacked.
const TAR_LIMITS = {files: 4096, bytes: 96 * 1024 * 1024};

// A relative path of plain names, or null: no root, no "." or "..", no backslash or NUL.
function ConfinedPath(path) {
  const parts = path.replace(/^(\.\/)+/, "").replace(/\/+$/, "").split("/");
  if (!parts.length || parts.some(p => !p || p === "." || p === ".." || /[\\\0]/.test(p))) return null;
  return parts.join("/");
}

// Feed it the unpacked bytes in any pieces; `files` then holds [path, bytes] of every regular file.
function TarReader(limits = TAR_LIMITS) {
  const files = [];
  const kinds = new Map();  // path -> "file" | "dir", so one name is never both
  const head = new Uint8Array(512);
  let headFill = 0, body = null, bodyFill = 0, skip = 0, path = null, total = 0, fed = 0, ended = false;
  const text = (at, n) => {
    let end = at;
    while (end < at + n && head[end] !== 0) end++;
    return new TextDecoder().decode(head.subarray(at, end));
  };
  function Claim(p, kind) {
    const parts = p.split("/");
    for (let i = 1; i < parts.length; i++) {
      const dir = parts.slice(0, i).join("/");
      if (kinds.get(dir) === "file") throw new DamagedError("the archive has a file and a folder named " + dir);
      kinds.set(dir, "dir");
    }
    const was = kinds.get(p);
    if (was && (was !== kind || kind === "file")) throw new DamagedError("the archive names " + p + " twice");
    kinds.set(p, kind);
  }
  function Header() {
    if (head.every(b => b === 0)) return ended = true;
    let sum = 0;
    for (let i = 0; i < 512; i++) sum += i >= 148 && i < 156 ? 32 : head[i];
    if (parseInt(text(148, 8).trim(), 8) !== sum) throw new DamagedError("the archive's header is damaged");
    const sizeText = text(124, 12).trim();
    if (!/^[0-7]*$/.test(sizeText)) throw new DamagedError("the archive's header is damaged");
    const size = parseInt(sizeText || "0", 8);
    const type = String.fromCharCode(head[156]);
    const prefix = text(345, 155);
    const name = (prefix ? prefix + "/" : "") + text(0, 100);
    const padded = Math.ceil(size / 512) * 512;
    path = null;
    skip = padded;
    if (type === "0" || type === "\0") {
      const p = ConfinedPath(name);
      if (!p) throw new DamagedError("the archive names a file outside its folder: " + name);
      if (files.length >= limits.files) throw new DamagedError("the archive holds too many files");
      total += size;
      if (total > limits.bytes) throw new DamagedError("the archive unpacks to too many bytes");
      Claim(p, "file");
      path = p;
      body = new Uint8Array(size);
      bodyFill = 0;
      skip = padded - size;
      if (size === 0) files.push([path, body]), path = null;
    } else if (type === "5") {
      const p = ConfinedPath(name);
      if (p) Claim(p, "dir");
    }
    // Links, devices and extended headers are not the medium's: their bodies are passed over.
    return false;
  }
  return {
    files,
    Feed(chunk) {
      fed += chunk.length;
      // Headers and padding count too: a bomb of empty entries is stopped as well.
      if (fed > limits.bytes + limits.files * 1024 + (1 << 20)) throw new DamagedError("the archive unpacks to too many bytes");
      let at = 0;
      while (at < chunk.length && !ended) {
        if (path !== null) {
          const n = Math.min(body.length - bodyFill, chunk.length - at);
          body.set(chunk.subarray(at, at + n), bodyFill);
          bodyFill += n;
          at += n;
          if (bodyFill === body.length) files.push([path, body]), path = null;
        } else if (skip > 0) {
          const n = Math.min(skip, chunk.length - at);
          skip -= n;
          at += n;
        } else {
          const n = Math.min(512 - headFill, chunk.length - at);
          head.set(chunk.subarray(at, at + n), headFill);
          headFill += n;
          at += n;
          if (headFill === 512) headFill = 0, Header();
        }
      }
    },
    End() {
      if (path !== null || skip > 0 || headFill > 0 || (!ended && !files.length)) throw new DamagedError("the archive is cut short");
      return files;
    },
  };
}
