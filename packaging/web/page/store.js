// The settings folder (the desktop's .reg text) kept in IndexedDB: read when a game starts, each changed
// file written in a transaction of its own, never written over when it could not be read.
"use strict";

// A record the page may put back into the program's folder: a relative path of plain names, and bytes.
function ValidRecord(key, value) {
  if (typeof key !== "string" || key.length > 512 || !ConfinedPath(key) || ConfinedPath(key) !== key) return null;
  if (value instanceof Uint8Array) return value;
  if (value instanceof ArrayBuffer) return new Uint8Array(value);
  return null;
}

const SameBytes = (a, b) => a === b || (a.length === b.length && a.every((x, i) => x === b[i]));

// What to write to make the store hold `files` when it holds `known`: [path, bytes or null to delete].
function StoreChanges(known, files) {
  const out = [];
  for (const [path, bytes] of files) if (!known.has(path) || !SameBytes(known.get(path), bytes)) out.push([path, bytes]);
  for (const path of known.keys()) if (!files.has(path)) out.push([path, null]);
  return out;
}

// An answer from a database that may never answer (a stuck profile): the page does not wait for ever.
function Within(promise, ms, what) {
  return Promise.race([promise, new Promise((_, no) => setTimeout(() => no(new Error(what + " did not answer")), ms))]);
}

function SettingsStore(name = "ozzel-settings") {
  let db = null;
  const known = new Map();  // what the database holds, as last read or written
  const store = {
    // "ok", "unreadable" (never written then) or "blocked" (the browser keeps nothing for this site).
    state: "closed",
    skipped: [],
    // Resolves to the records to put in the folder; never rejects.
    async Open(ms = 5000) {
      try {
        if (!self.indexedDB) throw Object.assign(new Error("no IndexedDB"), {blocked: true});
        db = await Within(new Promise((resolve, reject) => {
          const open = indexedDB.open(name, 1);
          open.onupgradeneeded = () => open.result.createObjectStore("files");
          open.onsuccess = () => resolve(open.result);
          open.onerror = () => reject(open.error);
          open.onblocked = () => reject(new Error("the store is held by an older page"));
        }), ms, "the settings store");
        const records = await Within(new Promise((resolve, reject) => {
          const t = db.transaction("files", "readonly"), box = t.objectStore("files");
          const keys = box.getAllKeys(), values = box.getAll();
          t.oncomplete = () => resolve(keys.result.map((k, i) => [k, values.result[i]]));
          t.onerror = t.onabort = () => reject(t.error || new Error("the settings could not be read"));
        }), ms, "the settings store");
        const good = [];
        for (const [key, value] of records) {
          const bytes = ValidRecord(key, value);
          if (bytes) good.push([key, bytes]), known.set(key, bytes);
          else store.skipped.push(String(key));
        }
        if (store.skipped.length) console.warn("settings store: records skipped:", store.skipped.join(", "));
        store.state = "ok";
        return good;
      } catch (e) {
        console.warn("settings store not read:", e && e.message);
        store.state = e && (e.blocked || e.name === "SecurityError") ? "blocked" : "unreadable";
        if (db) db.close(), db = null;
        return [];
      }
    },
    // Makes the store hold `files` (path -> bytes). Each change is its own transaction: one that fails
    // leaves the others and the next call tries it again.
    Keep(files) {
      if (store.state !== "ok") return Promise.resolve(false);
      const writes = StoreChanges(known, files).map(([path, bytes]) => new Promise(resolve => {
        try {
          const t = db.transaction("files", "readwrite");
          const box = t.objectStore("files");
          if (bytes) box.put(bytes.slice(), path);
          else box.delete(path);
          t.oncomplete = () => { bytes ? known.set(path, bytes) : known.delete(path); resolve(true); };
          t.onerror = t.onabort = () => { console.warn("settings not stored:", path, t.error); resolve(false); };
          if (t.commit) t.commit();
        } catch (e) {
          console.warn("settings not stored:", path, e.message);
          resolve(false);
        }
      }));
      return Promise.all(writes).then(r => r.every(Boolean));
    },
  };
  return store;
}
