// The start screen and a game's life in the page: the language, the downloads, one game per browser,
// the settings store, and the end (stored, with a way to play again).
"use strict";

// What this build publishes (make-site writes it): its id, languages, and every file's name, size and hash.
const SITE = /*@SITE@*/ {build: "dev", languages: ["cs"], files: {}, media: {}, fonts: []};
const STORE = "/home/web_user/.config";
const $ = id => document.getElementById(id);
const params = new URLSearchParams(location.search);

// Site data may be blocked, and then every use of localStorage throws.
function Kept(key, value) {
  try {
    if (value === undefined) return localStorage.getItem(key);
    localStorage.setItem(key, value);
  } catch (e) { /* nothing kept */ }
  return null;
}

const lang = ChooseLanguage(SITE.languages, params.get("lang"), Kept("ozzel-language"),
                            navigator.languages || [navigator.language || ""]);
const words = Words(lang);
document.documentElement.lang = lang;
$("turnsay").textContent = words.turn;
$("hint").textContent = words.gate;

// The start screen says one thing and offers one action: play (the green button), or a word on it.
let action = null;
function Offer(text, label, then, enabled = true) {
  $("say").textContent = text;
  $("say").classList.toggle("long", text.length > 26);
  const go = $("go");
  go.dataset.label = label || "";
  go.setAttribute("aria-label", label || words.start);
  go.disabled = !enabled;
  action = then;
  $("start").style.display = "flex";
  if (enabled) go.focus();
}
function Note(text) {
  $("hint").textContent = text;
}
Offer(words.tap, "", null, false);

const progress = Progress(p => {
  for (const bar of document.querySelectorAll(".bar div")) bar.style.width = (p.total ? Math.min(100, (100 * p.seen) / p.total) : 0) + "%";
});
let ready = null;  // {wasm, data, medium}: everything the program needs, checked
let started = false, ended = false;

async function LoadFont([family, weight, key]) {
  const face = new FontFace(family, await FetchVerified(SITE.files[key], progress), {weight});
  document.fonts.add(await face.load());
}

// Downloads what the game needs (or takes it from the offline copy); a failure is said, with a retry.
async function Prepare() {
  Offer(words.tap, "", null, false);
  progress.total = progress.seen = 0;
  try {
    const [wasm, data, gz] = await Promise.all([
      FetchVerified(SITE.files["ozzel.wasm"], progress), FetchVerified(SITE.files["ozzel.data"], progress),
      FetchVerified(SITE.media[lang], progress), ...SITE.fonts.map(LoadFont)]);
    ready = {wasm, data, medium: await UnpackMedium(gz)};
  } catch (e) {
    console.warn("the game cannot start:", e.message);
    if (e instanceof OldBrowserError) return Offer(words.old, "", null, false);
    Offer(e instanceof DamagedError ? words.damaged : words.offline, words.retry, Prepare);
    return;
  }
  Offer(words.tap, "", Play);
  OfferUpdate();
  if ("serviceWorker" in navigator && self.isSecureContext)
    navigator.serviceWorker.register("sw.js").catch(e => console.warn("no offline copy:", e.message));
}

// A newer build installed and checked by the worker replaces this page before a game starts: a page
// never runs beside another build's program or medium.
function OfferUpdate() {
  if (!navigator.serviceWorker) return;
  navigator.serviceWorker.getRegistration().then(r => {
    if (!r) return;
    const Switch = () => { if (r.waiting && !started) r.waiting.postMessage("take-over"); };
    // A worker may be installing already (its "updatefound" gone before this page listened).
    const Watch = w => w && w.addEventListener("statechange", Switch);
    Switch();
    Watch(r.installing);
    r.addEventListener("updatefound", () => Watch(r.installing));
    r.update().catch(() => {});
  }).catch(() => {});
  // The first visit's worker taking this page is the same build: only a change of worker is a new one.
  const had = navigator.serviceWorker.controller;
  navigator.serviceWorker.addEventListener("controllerchange", () => { if (had && !started) location.reload(); });
}

// One game per browser, as on the desktop one per user: a second page says so and may take over; the
// first then keeps its play and stops.
const channel = self.BroadcastChannel ? new BroadcastChannel("ozzel") : null;
let release = null;
function Hold(options) {
  return new Promise(resolve => {
    navigator.locks.request("ozzel-game", options, lock => {
      if (!lock) return resolve(false);
      resolve(true);
      return new Promise(r => { release = r; });
    }).catch(e => {
      resolve(false);
      // Taken without asking (this page did not answer in time): the store is the other page's now.
      if (e.name === "AbortError" && started && !ended) Stop(false);
    });
  });
}
async function TakeTheGame(takeOver) {
  if (!navigator.locks) return true;
  if (await Hold({ifAvailable: true})) return true;
  if (!takeOver) return false;
  channel && channel.postMessage("yield");
  const wait = new AbortController();
  const got = await Promise.race([Hold({signal: wait.signal}), new Promise(r => setTimeout(() => r(null), 5000))]);
  if (got) return true;
  wait.abort();
  return Hold({steal: true});
}
if (channel) channel.onmessage = m => { if (m.data === "yield" && started && !ended) Stop(true); };

// This page gives the game to another: what it played is stored (when asked first), then it is silent
// and still.
async function Stop(save) {
  ended = true;
  if (save) KeepPlay();
  Module.ozzStopped = true;
  if (Module.ozzAudio) Module.ozzAudio.Close();
  if (save) await SyncStore();
  if (release) release();
  Offer(words.elsewhere, words.here, () => location.reload());
}

const store = SettingsStore();
// The folder's files; one read again only when its time or size changed (the same bytes object else,
// which the store knows at once as unchanged).
const read = new Map();  // path -> {stamp, bytes}
function StoreFiles(dir = STORE, out = new Map()) {
  const FS = Module.FS;
  for (const name of FS.readdir(dir)) {
    if (name === "." || name === "..") continue;
    const path = dir + "/" + name, st = FS.stat(path), rel = path.slice(STORE.length + 1);
    if (FS.isDir(st.mode)) {
      StoreFiles(path, out);
    } else if (FS.isFile(st.mode)) {
      const stamp = st.ino + "/" + st.mtime.getTime() + "/" + st.size, was = read.get(rel);
      if (!was || was.stamp !== stamp) read.set(rel, {stamp, bytes: FS.readFile(path)});
      out.set(rel, read.get(rel).bytes);
    }
  }
  return out;
}
function SyncStore() {
  if (!Module.FS) return Promise.resolve(false);
  let files;
  try { files = StoreFiles(); } catch (e) { return Promise.resolve(false); }
  return store.Keep(files);
}
// The counters and answers as an exit writes them (a hidden page may be closed without another word).
function KeepPlay() {
  if (Module.calledRun && !Module.ozzExited && !Module.ozzStopped && Module._ozz_keep_play) Module._ozz_keep_play();
}

async function Play() {
  if (started) return;
  started = true;
  Offer(words.tap, "", null, false);
  const audio = Module.ozzAudio = MakeSound(ReadFile);
  audio.Resume();
  const songFile = ready.medium && ready.medium.find(([p]) => /\.mp3$/i.test(p));
  audio.Prime(songFile && songFile[1]);
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
  if (!(await TakeTheGame(Kept("ozzel-take-over") === "1"))) {
    started = false;
    audio.Close();
    Offer(words.elsewhere, words.here, () => { Kept("ozzel-take-over", "1"); ready && Play(); });
    return;
  }
  Kept("ozzel-take-over", "0");
  // The store is read now, when this page holds the game, not when it was loaded.
  const records = await store.Open();
  if (store.state !== "ok") Note(words[store.state]);
  else if (navigator.storage && navigator.storage.persist) navigator.storage.persist().catch(() => {});
  // A language asked for is remembered once its game has started.
  if (params.get("lang") === lang) Kept("ozzel-language", lang);
  while (Portrait()) await new Promise(r => matchMedia("(orientation: portrait)").addEventListener("change", r, {once: true}));
  await Frames(2);
  $("start").style.display = "none";
  $("canvas").focus();
  Module.ozzRecords = records;
  const s = document.createElement("script");
  s.src = SITE.files["ozzel.js"].url;
  if (SITE.files["ozzel.js"].sri) s.integrity = SITE.files["ozzel.js"].sri;
  s.onerror = () => Module.ozzEnded(-1, words.damaged);
  document.body.appendChild(s);
}

function ReadFile(path) {
  try { return Module.FS.readFile(path); } catch (e) { return null; }
}

var Module = {
  canvas: $("canvas"),
  print: line => console.log(line),
  printErr: line => console.warn(line),
  locateFile: name => (SITE.files[name] ? SITE.files[name].url : name),
  // The program's own bytes, fetched and checked on the start screen.
  instantiateWasm(imports, done) {
    WebAssembly.instantiate(ready.wasm, imports).then(r => done(r.instance, r.module), e => Module.ozzEnded(-1, String(e)));
    return {};
  },
  getPreloadedPackage: () => ready.data.buffer,
  ozzTextContext() {
    if (!this.textCtx) {
      const c = document.createElement("canvas");
      c.width = 256; c.height = 64;
      this.textCtx = c.getContext("2d", {willReadFrequently: true});
    }
    return this.textCtx;
  },
  // Between the program's waits: the start count is stored as soon as it is taken, and any change of
  // the settings file or of the family's takes as soon as it is made.
  ozzStoreTick() {
    if (!this.countKept && Module._ozz_keep_play) {
      this.countKept = true;
      KeepPlay();
    }
    const FS = Module.FS, Stamp = path => { const st = FS.stat(path); return st.ino + "/" + st.mtime.getTime() + "/" + st.size; };
    let stamp = 0;
    try {
      stamp = Stamp(STORE + "/bimbalo/registry.reg");  // it is replaced whole: a new node
    } catch (e) { return; }
    // A take written, replaced or removed changes its language folder's time (the folders only, not
    // every take: this runs at every wait).
    try {
      const voice = STORE + "/bimbalo/voice";
      for (const name of FS.readdir(voice)) if (name !== "." && name !== "..") stamp += " " + name + ":" + Stamp(voice + "/" + name);
    } catch (e) { /* no takes */ }
    if (stamp !== this.storedStamp) {
      this.storedStamp = stamp;
      if (Module.ozzAudio && Module.ozzAudio.Forget) Module.ozzAudio.Forget(STORE + "/");
      SyncStore();
    }
  },
  ozzKeep() {
    KeepPlay();
    return SyncStore();
  },
  // The canvas keeps the pixels it was made with; a viewport changed since (turned, out of full
  // screen) shows them letterboxed, and the backend maps touches through the canvas's shown size.
  ozzFit() {
    const c = $("canvas");
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
  // However the game ends (its door, a fatal error, a crash): what it played is stored and the page
  // offers to play again.
  ozzEnded(code, why) {
    if (Module.ozzExited) return;
    Module.ozzExited = ended = true;
    if (why) console.warn("ozzel: " + why);
    if (Module.ozzAudio) Module.ozzAudio.Close();
    $("canvas").style.visibility = "hidden";
    Within(SyncStore(), 5000, "the settings store").catch(() => {}).finally(() => {
      if (release) release();
      Offer(words.ended, words.again, () => location.reload());
      console.log("ended " + code);
    });
  },
  onExit: code => Module.ozzEnded(code),
  onAbort: what => Module.ozzEnded(-1, String(what)),
  preRun: [() => {
    const FS = Module.FS;
    FS.mkdirTree(STORE);
    // A record that cannot be a file of the folder (a name taken by a folder, say) is left out.
    for (const [path, data] of Module.ozzRecords) {
      try {
        const slash = path.lastIndexOf("/");
        if (slash > 0) FS.mkdirTree(STORE + "/" + path.slice(0, slash));
        FS.writeFile(STORE + "/" + path, data);
      } catch (e) {
        console.warn("settings store: record skipped:", path);
      }
    }
    const root = "/medium/" + lang;
    for (const [path, data] of ready.medium) {
      const slash = path.lastIndexOf("/");
      if (slash > 0) FS.mkdirTree(root + "/" + path.slice(0, slash));
      FS.writeFile(root + "/" + path, data, {canOwn: true});  // no second copy of the medium
    }
    ready.medium = null;
    Module.ENV.OZZEL_MEDIUM = root;
    Module.ENV.OZZEL_RESOURCES = "/resources";
    if (params.get("trace") === "1") Module.ENV.OZZEL_TRACE = "1";
  }],
};

document.addEventListener("visibilitychange", () => { if (document.visibilityState === "hidden" && started && !ended) Module.ozzKeep(); });
window.addEventListener("pagehide", () => { if (started && !ended) Module.ozzKeep(); });

// The start screen's scale, as the program will choose it for the game.
function Scale() {
  document.documentElement.style.setProperty("--s", Math.min(innerWidth / 640, innerHeight / 480));
  if (Module.ozzCtx) Module.ozzFit();
}
window.addEventListener("resize", Scale);
Scale();

const Portrait = () => matchMedia("(orientation: portrait)").matches;
const Frames = n => new Promise(r => { const f = () => (n-- > 0 ? requestAnimationFrame(f) : r()); f(); });

// The first tap (anywhere on the start screen): a browser plays sound and goes full screen only from a
// gesture.
$("start").addEventListener("click", () => { if (!$("go").disabled && action) action(); });
Prepare();
