// The page's side of Ozzel: the medium of the browser's language, the first tap, sound, the settings store.
"use strict";

const LANGUAGES = ["cs", "sk", "en", "de", "pl", "fr", "es"];
const WORDS = {
  cs: ["Ťukni a hraj", "Otoč tablet", "Konec hry"], sk: ["Ťukni a hraj", "Otoč tablet", "Koniec hry"],
  en: ["Tap to play", "Turn the tablet", "The game has ended"], de: ["Tippen und spielen", "Tablet drehen", "Spiel beendet"],
  pl: ["Dotknij i graj", "Obróć tablet", "Koniec gry"], fr: ["Touche pour jouer", "Tourne la tablette", "Fin du jeu"],
  es: ["Toca para jugar", "Gira la tableta", "Fin del juego"],
};

// ?lang=xx (kept for the next visits), else the language a parent chose before, else the browser's.
function ChooseLanguage() {
  const asked = new URLSearchParams(location.search).get("lang");
  if (LANGUAGES.includes(asked)) {
    localStorage.setItem("ozzel-language", asked);
    return asked;
  }
  const kept = localStorage.getItem("ozzel-language");
  if (LANGUAGES.includes(kept)) return kept;
  for (const l of navigator.languages || [navigator.language || ""]) {
    const base = String(l).toLowerCase().split("-")[0];
    if (LANGUAGES.includes(base)) return base;
  }
  return "cs";
}

const lang = ChooseLanguage();
document.documentElement.lang = lang;
document.getElementById("say").textContent = WORDS[lang][0];
document.getElementById("turnsay").textContent = WORDS[lang][1];
document.getElementById("endsay").textContent = WORDS[lang][2];

if ("serviceWorker" in navigator && (location.protocol === "https:" || location.hostname === "127.0.0.1" ||
                                     location.hostname === "localhost")) {
  navigator.serviceWorker.register("sw.js").catch(e => console.warn("no offline copy:", e.message));
}

// The medium: one gzipped tar per language, unpacked into the program's files.
async function FetchMedium() {
  const answer = await fetch("media/" + lang + ".tar.gz");
  if (!answer.ok) throw new Error("the medium " + lang + " cannot be fetched (" + answer.status + ")");
  const total = Number(answer.headers.get("content-length")) || 0;
  const bar = document.querySelector("#bar div");
  let seen = 0;
  const counted = answer.body.pipeThrough(new TransformStream({
    transform(chunk, out) {
      seen += chunk.length;
      if (total) bar.style.width = Math.min(100, (100 * seen) / total) + "%";
      out.enqueue(chunk);
    },
  }));
  // A host that sent it with Content-Encoding: gzip has unpacked it already.
  const bytes = new Uint8Array(await new Response(counted).arrayBuffer());
  const tar = bytes[0] === 0x1f && bytes[1] === 0x8b
    ? new Uint8Array(await new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"))).arrayBuffer())
    : bytes;
  return UnTar(tar);
}

// ustar entries: 512-byte headers, name (with its prefix), octal size, type; files only.
function UnTar(tar) {
  const files = [];
  const text = (at, n) => new TextDecoder().decode(tar.subarray(at, at + n)).replace(/\0.*$/s, "");
  for (let at = 0; at + 512 <= tar.length;) {
    const name = text(at, 100);
    if (!name) break;
    const size = parseInt(text(at + 124, 12).trim() || "0", 8);
    const type = String.fromCharCode(tar[at + 156]);
    const prefix = text(at + 345, 155);
    const path = (prefix ? prefix + "/" : "") + name;
    const body = at + 512;
    if (!(size >= 0) || body + size > tar.length) throw new Error("the medium's archive is damaged");
    if (type === "0" || type === "\0") files.push([path.replace(/^\.\//, ""), tar.subarray(body, body + size)]);
    at = body + Math.ceil(size / 512) * 512;
  }
  return files;
}

// A WAV that travelled as its header alone, padded with silence to the length its data chunk declares.
function PadWav(head) {
  const view = new DataView(head.buffer, head.byteOffset, head.byteLength);
  for (let at = 12; at + 8 <= head.length;) {
    const size = view.getUint32(at + 4, true);
    if (String.fromCharCode(...head.subarray(at, at + 4)) === "data") {
      if (at + 8 + size <= head.length) return head;
      const whole = new Uint8Array(at + 8 + size);
      whole.set(head.subarray(0, at + 8));
      return whole;
    }
    at += 8 + size + (size & 1);
  }
  return head;
}

// Sound: speech (0), music (1) and effects (2) on their own gains; the program says what plays from where.
function MakeSound() {
  const Ctx = window.AudioContext || window.webkitAudioContext;
  const ctx = new Ctx();
  const gains = [0, 1, 2].map(() => { const g = ctx.createGain(); g.connect(ctx.destination); return g; });
  const voices = [null, null, null], turn = [0, 0, 0];
  const decoded = new Map();  // the last few files, most recent last: decoded sound is large
  function Decode(path) {
    if (decoded.has(path)) {
      const p = decoded.get(path);
      decoded.delete(path);
      decoded.set(path, p);
      return p;
    }
    // A WAV of the medium is heard from its FLAC (the WAV itself is only its header and silence).
    let bytes;
    try { bytes = Module.FS.readFile(path.replace(/\.wav$/i, ".flac")); } catch (e) {
      try { bytes = Module.FS.readFile(path); } catch (e) { return Promise.resolve(null); }
    }
    const p = ctx.decodeAudioData(bytes.slice().buffer).catch(e => {
      console.error("cannot decode " + path + ": " + e);
      return null;
    });
    decoded.set(path, p);
    while (decoded.size > 12) decoded.delete(decoded.keys().next().value);
    return p;
  }
  return {
    ctx,
    play(voice, path, fromMs) {
      this.stop(voice);
      const mine = ++turn[voice], asked = performance.now();
      Decode(path).then(buffer => {
        if (!buffer || mine !== turn[voice]) return;
        // Decoding took time the channel's clock has counted: start that much later in the sound.
        const at = (fromMs + performance.now() - asked) / 1000;
        if (at >= buffer.duration) return;
        const source = ctx.createBufferSource();
        source.buffer = buffer;
        source.connect(gains[voice]);
        source.start(0, at);
        voices[voice] = source;
      });
    },
    stop(voice) {
      ++turn[voice];
      if (voices[voice]) {
        try { voices[voice].stop(); } catch (e) { /* never started */ }
        voices[voice] = null;
      }
    },
    levels(music, speech) {
      gains[1].gain.value = music;
      gains[0].gain.value = gains[2].gain.value = speech;
    },
  };
}

// The settings store (the same .reg text as on the desktop) lives in IndexedDB, one record per file of
// the program's settings folder. The program itself sees plain memory files: IDBFS would make its every
// fsync wait for the database, a sleep the program cannot take inside a page's event. Written back a
// few seconds after the settings file changed, and whenever the page is hidden.
const STORE = "/home/web_user/.config";
let lastSync = 0, storedStamp = 0, storing = Promise.resolve();
function OpenStore() {
  return new Promise((resolve, reject) => {
    const open = indexedDB.open("ozzel-settings", 1);
    open.onupgradeneeded = () => open.result.createObjectStore("files");
    open.onsuccess = () => resolve(open.result);
    open.onerror = () => reject(open.error);
  });
}
let storeDb = null;
function StoreFiles(dir = STORE, out = new Map()) {
  const FS = Module.FS;
  for (const name of FS.readdir(dir)) {
    if (name === "." || name === "..") continue;
    const path = dir + "/" + name;
    const mode = FS.stat(path).mode;
    if (FS.isDir(mode)) StoreFiles(path, out);
    else if (FS.isFile(mode)) out.set(path.slice(STORE.length + 1), FS.readFile(path));
  }
  return out;
}
function SyncStore() {
  if (!Module.FS || !storeDb) return storing;
  lastSync = performance.now();
  let files;
  try { files = StoreFiles(); } catch (e) { return storing; }
  // One write after another, each the whole folder as it is now, done when the database says so.
  storing = storing.then(() => new Promise(resolve => {
    const t = storeDb.transaction("files", "readwrite");
    const box = t.objectStore("files");
    box.clear();
    for (const [path, data] of files) box.put(data, path);
    t.oncomplete = resolve;
    t.onerror = t.onabort = () => { console.warn("settings not stored:", t.error); resolve(); };
  }));
  return storing;
}
function LoadStore() {
  return OpenStore().then(db => new Promise(resolve => {
    storeDb = db;
    const t = db.transaction("files", "readonly"), box = t.objectStore("files");
    const keys = box.getAllKeys(), values = box.getAll();
    t.oncomplete = () => resolve(keys.result.map((k, i) => [k, values.result[i]]));
    t.onerror = () => { console.warn("settings not read:", t.error); resolve([]); };
  })).catch(e => { console.warn("no settings store:", e); return []; });
}
const stored = LoadStore();

const medium = FetchMedium();
const fonts = Promise.all(["Liberation Sans", "DejaVu Sans"].flatMap(f => [
  document.fonts.load("16px '" + f + "'"), document.fonts.load("bold 16px '" + f + "'")]));
const go = document.getElementById("go");
Promise.all([medium, fonts]).then(() => { go.disabled = false; go.focus(); },
  e => { document.getElementById("say").textContent = e.message; console.error(e); });

var Module = {
  canvas: document.getElementById("canvas"),
  print: line => console.log(line),
  printErr: line => console.warn(line),
  ozzTextContext() {
    if (!this.textCtx) {
      const c = document.createElement("canvas");
      c.width = 256; c.height = 64;
      this.textCtx = c.getContext("2d", {willReadFrequently: true});
    }
    return this.textCtx;
  },
  // A few seconds after the settings file changed (it is replaced whole on every write).
  ozzStoreTick() {
    if (performance.now() - lastSync < 3000) return;
    let stamp = 0;
    try { stamp = Module.FS.stat(STORE + "/bimbalo/registry.reg").mtime.getTime(); } catch (e) { return; }
    if (stamp !== storedStamp) {
      storedStamp = stamp;
      SyncStore();
    }
  },
  // What a hidden page may lose (it can be closed without another word): the counters and answers as
  // an exit writes them, then the store.
  ozzKeep() {
    if (Module.calledRun && !Module.ozzExited && Module._ozz_keep_play) Module._ozz_keep_play();
    return SyncStore();
  },
  // The canvas keeps the pixels it was made with; a viewport changed since (turned, out of full
  // screen) shows them letterboxed, and the backend maps touches through the canvas's shown size.
  ozzFit() {
    const c = document.getElementById("canvas");
    const ratio = window.devicePixelRatio || 1;
    const k = Math.min(innerWidth / (c.width / ratio), innerHeight / (c.height / ratio));
    const w = (c.width / ratio) * k, h = (c.height / ratio) * k;
    Object.assign(c.style, {width: w + "px", height: h + "px", left: (innerWidth - w) / 2 + "px", top: (innerHeight - h) / 2 + "px"});
  },
  ozzFirstFrame() {
    if (this.firstFrameAt) return;
    this.firstFrameAt = performance.now();
    console.log("first-frame " + this.firstFrameAt.toFixed(1));
  },
  onExit() {
    Module.ozzExited = true;
    SyncStore();
    document.getElementById("ended").style.display = "flex";
  },
  preRun: [() => {
    const FS = Module.FS;
    FS.mkdirTree(STORE);
    Module.addRunDependency("store");
    stored.then(files => {
      for (const [path, data] of files) {
        const slash = path.lastIndexOf("/");
        if (slash > 0) FS.mkdirTree(STORE + "/" + path.slice(0, slash));
        FS.writeFile(STORE + "/" + path, data);
      }
      Module.removeRunDependency("store");
    });
    Module.addRunDependency("medium");
    medium.then(files => {
      const root = "/medium/" + lang;
      const flacs = new Set(files.map(([p]) => p.toLowerCase()).filter(p => p.endsWith(".flac")));
      for (let [path, data] of files) {
        if (/\.wav$/i.test(path) && flacs.has(path.toLowerCase().replace(/\.wav$/, ".flac"))) data = PadWav(data);
        const slash = path.lastIndexOf("/");
        if (slash > 0) FS.mkdirTree(root + "/" + path.slice(0, slash));
        FS.writeFile(root + "/" + path, data, {canOwn: true});  // no second copy of the medium
      }
      Module.ENV.OZZEL_MEDIUM = root;
      Module.removeRunDependency("medium");
    });
    Module.ENV.OZZEL_RESOURCES = "/resources";
    if (new URLSearchParams(location.search).get("trace") === "1") Module.ENV.OZZEL_TRACE = "1";
  }],
};

document.addEventListener("visibilitychange", () => { if (document.visibilityState === "hidden") Module.ozzKeep(); });
window.addEventListener("pagehide", () => Module.ozzKeep());

// The start screen's scale, as the program will choose it for the game.
function Scale() {
  document.documentElement.style.setProperty("--s", Math.min(innerWidth / 640, innerHeight / 480));
  if (Module.ozzCtx) Module.ozzFit();
}
window.addEventListener("resize", Scale);
Scale();

const Portrait = () => matchMedia("(orientation: portrait)").matches;
const Frames = n => new Promise(r => { const f = () => (n-- > 0 ? requestAnimationFrame(f) : r()); f(); });

// The first tap (anywhere on the start screen): a browser plays sound and goes full screen only from
// a gesture. The program starts once the page has its final size: after full screen has settled, and
// in landscape (a tablet held upright is asked to turn first).
const start = document.getElementById("start");
start.addEventListener("click", async () => {
  if (!go.disabled && !Module.ozzAudio) {
    go.disabled = true;
    Module.ozzAudio = MakeSound();
    Module.ozzAudio.ctx.resume();
    const root = document.documentElement;
    const full = root.requestFullscreen || root.webkitRequestFullscreen;
    if (full && !document.fullscreenElement) {
      const asked = Promise.resolve(full.call(root, {navigationUI: "hide"}))
        // Esc is the game's key (it skips the intro); in full screen a browser would take it to leave,
        // so it is asked for (Chrome then leaves on a held Esc).
        .then(() => navigator.keyboard && navigator.keyboard.lock && navigator.keyboard.lock(["Escape"]).catch(() => {}))
        .then(() => screen.orientation && screen.orientation.lock && screen.orientation.lock("landscape"))
        .catch(() => {});
      await Promise.race([asked, new Promise(r => setTimeout(r, 1000))]);
    }
    while (Portrait()) await new Promise(r => matchMedia("(orientation: portrait)").addEventListener("change", r, {once: true}));
    await Frames(2);
    start.style.display = "none";
    document.getElementById("canvas").focus();
    const s = document.createElement("script");
    s.src = "ozzel.js";
    document.body.appendChild(s);
  }
});
