// The real page in headless chromium, driven over the DevTools protocol, as families use it: a tap starts
// the intro, Esc reaches the menu, a finger chooses a scene, a click is judged, the parents' page opens
// by touch alone, a suspended sound starts again, the door stores the game and offers another; then the
// offline copy after one visit and after an update, and what goes wrong at home: two tabs, a store that
// cannot be read or holds bad records, a close during a long write, a damaged, stalled or crafted
// download, blocked site data, a browser in a language the site lacks. Nothing may throw. Writes the
// start screen and the home scene at 1366 x 768 (start.png, scene.png) for tests/web/page.sh.
// Real time throughout, with generous waits: a loaded machine only makes it slower.
//   node --experimental-websocket page_test.mjs SITE_DIR OUT_DIR [LANGUAGE]
import {execFileSync} from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";

import {Devtools, ServeSite, StartChromium} from "./chromium.mjs";

const [site, out, lang = "cs"] = process.argv.slice(2);
if (!site || !out) {
  console.error("usage: page_test.mjs SITE_DIR OUT_DIR [LANGUAGE]");
  process.exit(2);
}
fs.mkdirSync(out, {recursive: true});
const W = 1366, H = 768;
let failures = 0;
function Check(ok, what) {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures++;
}
const sleep = ms => new Promise(r => setTimeout(r, ms));
const here = path.dirname(new URL(import.meta.url).pathname);
const STORE_FILE = "bimbalo/registry.reg";

// A variant of the site as a later deploy would make it: the same files, CHANGE applied to the made
// but not yet named copy (site-raw), then named as make-site names them.
function Variant(name, change) {
  const dir = path.join(out, name);
  fs.rmSync(dir, {recursive: true, force: true});
  fs.cpSync(path.join(site, "..", "site-raw"), dir, {recursive: true});
  change(dir);
  const build = execFileSync("python3", [path.join(here, "../../packaging/web/name-site.py"), dir]).toString().trim();
  return {dir, build};
}
// A ustar archive of [name, bytes] entries, gzipped.
function TarGz(entries) {
  const blocks = [];
  for (const [name, body] of entries) {
    const h = Buffer.alloc(512);
    h.write(name, 0);
    h.write(body.length.toString(8).padStart(11, "0"), 124);
    h.write("0", 156);
    h.write("ustar\u000000", 257);
    h.write("        ", 148);
    h.write(h.reduce((a, b) => a + b, 0).toString(8).padStart(6, "0") + "\u0000 ", 148);
    blocks.push(h, body, Buffer.alloc((512 - (body.length % 512)) % 512));
  }
  return zlib.gzipSync(Buffer.concat([...blocks, Buffer.alloc(1024)]));
}
function TarEntries(gz) {
  const tar = zlib.gunzipSync(gz), out = [];
  for (let at = 0; at + 512 <= tar.length;) {
    const name = tar.subarray(at, at + 100).toString().replace(/\0.*$/s, "");
    if (!name) break;
    const size = parseInt(tar.subarray(at + 124, at + 136).toString().replace(/\0.*$/s, "").trim() || "0", 8);
    if (tar[at + 156] === 48 || tar[at + 156] === 0) out.push([name, tar.subarray(at + 512, at + 512 + size)]);
    at += 512 + Math.ceil(size / 512) * 512;
  }
  return out;
}

const host = await ServeSite(site);
// The microphone hears a line of the medium's own between silences (the browser repeats the file).
const microphone = path.join(out, "microphone.wav");
execFileSync("sox", [path.join(site, "..", "media", lang, "bm4/_ozzel/zvuky/oz_D_a5.wav"), "-r", "48000", "-b", "16", microphone, "pad", "0.5", "2.5"]);
const {browser, wsUrl, profile} = await StartChromium(W, H, "ozzel-chromium-", {microphone});
const dt = await Devtools(wsUrl);
const tabs = [];
async function Open(options, url = `/?lang=${lang}&trace=1`) {
  const tab = await dt.Tab(options);
  tabs.push(tab);
  await tab.Page("Emulation.setDeviceMetricsOverride", {width: W, height: H, deviceScaleFactor: 1, mobile: false});
  if (url) await tab.Page("Page.navigate", {url: host.origin + url});
  return tab;
}
const Say = tab => tab.Eval("document.getElementById('say').textContent");
const Words = (tab, key) => tab.Eval(`Words(document.documentElement.lang).${key}`);
async function Button(tab) {
  const r = await tab.Eval("(b => { const r = b.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })(document.getElementById('go'))");
  await tab.Click(r[0], r[1]);
}
// The start screen says WORD (a key of the page's words) with its button ready.
const Offers = (tab, word, ms = 60000) => tab.Until("the start screen saying " + word,
  `document.getElementById('say').textContent === Words(document.documentElement.lang).${word} && !document.getElementById('go').disabled`, ms);

// A point of the game's form (640 x 480, logical) on the page: the form is centred on the logical
// screen, which fills the page by the desktop's scale rule.
let form = {x: 0, y: 0};
const scale = Math.min(W / 640, H / 480);
const OnPage = (x, y) => [(form.x + x + 0.5) * scale, (form.y + y + 0.5) * scale];

// Waits for the start screen, taps it and waits for the intro's speech.
async function StartGame(tab, label, shot) {
  tab.lines.length = 0;
  await tab.Until("the start button " + label, "!document.getElementById('go').disabled", Number(process.env.OZZEL_WEB_WAIT || 90000));
  if (shot) await tab.Shot(path.join(out, shot));
  await Button(tab);
  await tab.Until("the intro " + label, () => tab.Traced(/wav open .*oz_uvod\.wav/), 60000);
  const f = tab.lines.map(l => /bounds form_ozzel (-?\d+) (-?\d+) 640 480/.exec(l)).find(Boolean);
  if (f) form = {x: Number(f[1]), y: Number(f[2])};
}
// The start count the store holds, read from IndexedDB as the next page would (-1: no settings file).
const StoredCount = tab => tab.Eval(`new Promise(resolve => {
    const o = indexedDB.open("ozzel-settings", 1);
    o.onupgradeneeded = () => o.result.createObjectStore("files");
    o.onerror = () => resolve(-2);
    o.onsuccess = () => {
      const g = o.result.transaction("files").objectStore("files").get("${STORE_FILE}");
      g.onsuccess = () => {
        o.result.close();
        const m = g.result && /"Ozzel_starty"=dword:([0-9a-f]+)/i.exec(new TextDecoder().decode(g.result));
        resolve(m ? parseInt(m[1], 16) : -1);
      };
    };
  })`);
const StoredKeys = tab => tab.Eval(`new Promise(resolve => {
    const o = indexedDB.open("ozzel-settings", 1);
    o.onsuccess = () => { const g = o.result.transaction("files").objectStore("files").getAllKeys();
                          g.onsuccess = () => { o.result.close(); resolve(g.result.map(String).sort()); }; };
  })`);
const Counted = (tab, n, what) => tab.Until(what + ` (the store counting ${n})`, async () => (await StoredCount(tab)) === n, 20000);
// A settings file holding a start count of N, as a JavaScript string literal.
const Reg = n => JSON.stringify("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Nastaveni - obecne]\n" +
  `"WAV HLASITOST"=dword:000000ff\n"MIDI HLASITOST"=dword:0000003c\n"KORDO SERIE"=dword:00000001\n"Ozzel_starty"=dword:${n.toString(16).padStart(8, "0")}\n`);

// OZZEL_WEB_ONLY=WORDS runs only the scenarios whose name holds them (while working on one).
async function Scenario(name, body) {
  if (process.env.OZZEL_WEB_ONLY && !name.includes(process.env.OZZEL_WEB_ONLY)) return;
  host.site = site;
  host.tamper = () => null;
  try {
    await body();
  } catch (e) {
    Check(false, name + ": " + e.message);
    for (const t of tabs.slice(-2)) {
      console.log("the start screen says: " + await Say(t).catch(x => x.message));
      console.log("--- the page's last lines ---\n" + t.lines.slice(-20).join("\n"));
    }
  }
}

try {
  // ---- A family's tablet: one visit, a game, its door, another game, offline, an update.
  await Scenario("a family's tablet", async () => {
    const tab = await Open({});
    await StartGame(tab, "(first visit)", "start.png");
    Check(form.x === Math.floor((Math.ceil(W / scale) - 640) / 2) && form.y === 0,
          `a tap starts the intro; the game is centred by the desktop's rule (form at ${form.x},${form.y})`);
    await sleep(1000);
    await tab.Key("Escape", "Escape", 27);
    await tab.Until("the menu after Esc", () => tab.Traced(/ hide stit$/));
    await tab.Touch([OnPage(72, 446)]);
    await tab.Until("the home scene after a tap", () => tab.Traced(/ show podklad$/));
    // An animal asked for by name (oz_D_a5) or by its sound (oz_snd_a, then oz_snd5).
    await tab.Until("the first question", () => tab.Traced(/wav open .*(oz_D_[ab]\d+|oz_snd\w+)\.wav/i), 30000);
    Check(true, "Esc reaches the menu; a tap on a scene button chooses it and the question is asked");
    await tab.Until("the song streaming", "!Module.ozzAudio.song.paused && Module.ozzAudio.song.currentTime > 0.5", 20000);
    Check(true, "the song plays, streamed from its MP3");
    // The pointer off the game (nothing lit under it) while the screen settles for the comparison.
    await tab.Move(2, 2);
    await sleep(2500);
    await tab.Shot(path.join(out, "scene.png"));
    await tab.Click(...OnPage(157, 310));  // the parrot, whichever animal was asked for
    await tab.Until("the answer judged", () => tab.Traced(/caption lbl_(dobre|spatne) 1$/), 30000);
    Check(true, "a click on an animal is judged");
    await Counted(tab, 1, "the start stored when it is taken");
    Check(true, "the start is stored as soon as it is counted");

    // Two opposite corners held: the parents' page, by touch alone; Esc closes it.
    await tab.Touch([[4, 4], [W - 4, H - 4]], 3600);
    await tab.Until("the parents' page by touch", () => tab.Traced(/ parents open$/), 10000);
    await tab.Key("Escape", "Escape", 27);
    await tab.Until("the parents' page closed", () => tab.Traced(/ parents close/), 10000);
    Check(true, "two opposite corners held 3 s open the parents' page");

    // A tablet locked or the app switched suspends the sound; the next touch starts it again.
    await tab.Eval("Module.ozzAudio.ctx.suspend().then(() => Module.ozzAudio.ctx.state)");
    await tab.Touch([[4, H / 2]]);
    await tab.Until("the sound running again", "Module.ozzAudio.ctx.state === 'running'", 5000);
    Check(true, "a suspended sound runs again at the next touch");

    // The door: the game ends, everything is stored, the page offers another game.
    await tab.Click(...OnPage(587, 448));
    await tab.Until("the game's end", () => tab.Traced(/^ended 0$/), 30000);
    await Offers(tab, "ended", 10000);
    const stored = await tab.Eval(`new Promise(r => { const o = indexedDB.open("ozzel-settings", 1); o.onsuccess = () => {
        const g = o.result.transaction("files").objectStore("files").get("${STORE_FILE}");
        g.onsuccess = () => { o.result.close(); r(new TextDecoder().decode(g.result)); }; }; })`);
    const file = await tab.Eval(`Module.FS.readFile("/home/web_user/.config/${STORE_FILE}", {encoding: "utf8"})`);
    const whole = stored === file && /"Ozzel_starty"=dword:00000001/.test(stored);
    Check(whole, (whole ? "" : stored + "\nagainst the program's\n" + file + "\n") + "a game ended by its door has stored its settings file as it left it (start, answers), and offers to play again");
    await Button(tab);
    await StartGame(tab, "(played again)");
    await Counted(tab, 2, "the second game");
    Check(true, "'play again' starts a new game");

    // Offline after one visit.
    await tab.Until("the service worker", "navigator.serviceWorker.controller !== null", 60000);
    await host.Stop();
    await tab.Page("Page.reload", {ignoreCache: false});
    await StartGame(tab, "(server gone)");
    await Counted(tab, 3, "offline");
    Check(true, "after one visit, a reload with the server gone plays");

    // A deploy that changes only the medium: it arrives, whole, at the next start, and plays offline.
    const v2 = Variant("site-v2", dir => {
      const file = path.join(dir, "media", lang + ".tar.gz");
      const entries = TarEntries(fs.readFileSync(file));
      entries.push(["./new-in-v2.txt", Buffer.from("a medium-only change\n")]);
      fs.writeFileSync(file, TarGz(entries));
    });
    host.site = v2.dir;
    await host.Start();
    await tab.Page("Page.reload", {ignoreCache: false});
    await tab.Until("the new build's page", `SITE.build === "${v2.build}"`, 90000);
    await StartGame(tab, "(after the update)");
    Check(await tab.Eval(`Module.FS.analyzePath("/medium/${lang}/new-in-v2.txt").exists`),
          "a deploy that changes only the medium reaches the page, which switches whole to the new build");
    await host.Stop();
    await tab.Page("Page.reload", {ignoreCache: false});
    await StartGame(tab, "(offline after the update)");
    Check(await tab.Eval("SITE.build") === v2.build, "the first offline start after an update plays the new build");
    await Counted(tab, 5, "offline after the update");
    host.site = site;
    await host.Start();
  });

  // ---- The family's own voice: the studio from the parents' page, a line recorded from the microphone
  // (its raw samples through the worklet), heard back, kept, and stored beside the settings.
  await Scenario("our own voice", async () => {
    const tab = await Open({isolated: true});
    await StartGame(tab, "(own voice)");
    await tab.Touch([[4, 4], [W - 4, H - 4]], 3600);
    await tab.Until("the parents' page", () => tab.Traced(/ parents open$/), 10000);
    await tab.Click(...OnPage(382, 34));
    await tab.Until("the studio's first line", () => tab.Traced(/ studio line oz_uvod\.wav$/), 10000);
    await tab.Key("Enter", "Enter", 13);
    await tab.Until("a take heard", () => tab.Traced(/ studio take oz_uvod\.wav \w+$/), 30000);
    // Its playback follows the verdict, a moment later.
    await tab.Until("the take played back", () => tab.Traced(/ studio play /), 10000).catch(() => {});
    const verdict = tab.lines.find(l => / studio take oz_uvod\.wav/.test(l)), play = tab.lines.find(l => / studio play /.test(l));
    Check(/ kept$/.test(verdict) && play, `a take recorded from the microphone is kept and heard back (${verdict}; ${play})`);
    await tab.Key("Enter", "Enter", 13);
    await tab.Until("the next line", () => tab.Traced(/ studio line oz_iko1\.WAV$/), 10000);
    const TAKE = "bimbalo/voice/" + lang + "/oz_uvod.wav";
    await tab.Until("the take stored", async () => (await StoredKeys(tab)).includes(TAKE), 20000);
    const head = await tab.Eval(`new Promise(r => { const o = indexedDB.open("ozzel-settings", 1); o.onsuccess = () => {
        const g = o.result.transaction("files").objectStore("files").get("${TAKE}");
        g.onsuccess = () => { o.result.close(); r([new TextDecoder().decode(g.result.subarray(0, 4)), g.result.length, Array.from(g.result)]); }; }; })`);
    fs.writeFileSync(path.join(out, "take.wav"), Buffer.from(head[2]));  // page.sh's caller may measure it
    Check(head[0] === "RIFF" && head[1] > 8000, `the take is stored in the page's store as a WAV (${head[1]} bytes)`);
    // The microphone refused (the browser's answer when a parent says no, or the site is blocked): the
    // studio says so, nothing is recorded. The fake microphone's own prompt always says yes.
    await tab.Eval(`navigator.mediaDevices.getUserMedia = () => Promise.reject(new DOMException("Permission denied", "NotAllowedError")), 1`);
    await tab.Key("Enter", "Enter", 13);
    await tab.Until("the refusal", () => tab.Traced(/the microphone: NotAllowedError/), 10000);
    await sleep(1000);
    Check(!tab.Traced(/ studio take oz_iko1/), "a microphone refused is said and nothing is recorded");
    await tab.Shot(path.join(out, "studio-refused.png"));
    await tab.Close();
  });

  // ---- Two tabs: the second says so and may take over; no count is lost.
  await Scenario("two tabs", async () => {
    const first = await Open({isolated: true});
    await StartGame(first, "(first tab)");
    await Counted(first, 1, "the first tab's start");
    const second = await Open({context: first.context});
    await second.Until("the second tab's start screen", "!document.getElementById('go').disabled", 90000);
    await Button(second);
    await Offers(second, "elsewhere", 20000);
    await Button(second);
    await second.Until("the second tab's intro", () => second.Traced(/wav open .*oz_uvod\.wav/), 60000);
    await Offers(first, "elsewhere", 20000);
    await Counted(second, 2, "both tabs' starts");
    Check(true, "a second tab says the game is open elsewhere, takes it over, and both starts are counted");
    await first.Close();
    await second.Close();
  });

  // ---- A store with bad records, then one that cannot be read: played, never written over.
  await Scenario("a damaged store", async () => {
    const tab = await Open({isolated: true});
    await tab.Until("the page", "typeof Words === 'function'", 30000);
    await tab.Eval(`new Promise(r => { const o = indexedDB.open("ozzel-settings", 1);
        o.onupgradeneeded = () => o.result.createObjectStore("files");
        o.onsuccess = () => { const t = o.result.transaction("files", "readwrite"), box = t.objectStore("files");
          box.put(new TextEncoder().encode(${Reg(40)}), "${STORE_FILE}");
          box.put(new Uint8Array([1]), "../x"); box.put(new Uint8Array([2]), 7); box.put("text", "zz");
          box.put(new Uint8Array([3]), "bimbalo/registry.reg/inner");
          t.oncomplete = () => { o.result.close(); r(); }; }; })`);
    await tab.Page("Page.reload", {ignoreCache: false});
    await StartGame(tab, "(bad records)");
    await Counted(tab, 41, "the good record read, the bad ones skipped");
    Check((await StoredKeys(tab)).length === 5, "bad records are skipped and kept; the game plays on the good one");
    const {identifier} = await tab.Page("Page.addScriptToEvaluateOnNewDocument", {source:
      "IDBObjectStore.prototype.getAll = function() { throw new DOMException('a blob is missing', 'NotReadableError'); };"});
    await tab.Page("Page.reload", {ignoreCache: false});
    await StartGame(tab, "(unreadable store)");
    Check(await tab.Eval("document.getElementById('hint').textContent === Words(document.documentElement.lang).unreadable"),
          "an unreadable store is said on the start screen and the game plays");
    await tab.Eval("Module.ozzKeep().then(() => 1)");
    await tab.Page("Page.removeScriptToEvaluateOnNewDocument", {identifier});
    // A database that never answers (a stuck profile): the game starts all the same, a little later.
    const stuck = await tab.Page("Page.addScriptToEvaluateOnNewDocument", {source:
      "IDBFactory.prototype.open = function() { return {}; };"});
    await tab.Page("Page.reload", {ignoreCache: false});
    await StartGame(tab, "(a store that never answers)");
    Check(await tab.Eval("document.getElementById('hint').textContent === Words(document.documentElement.lang).unreadable"),
          "a store that never answers is said, and the game plays");
    await tab.Page("Page.removeScriptToEvaluateOnNewDocument", {identifier: stuck.identifier});
    await tab.Page("Page.reload", {ignoreCache: false});
    await tab.Until("the page", "typeof Words === 'function'", 30000);
    Check(await StoredCount(tab) === 41, "a store that could not be read is never written over");
    await tab.Close();
  });

  // ---- A close while a long write runs: the close's own save is kept.
  await Scenario("a close during a write", async () => {
    const tab = await Open({isolated: true});
    await StartGame(tab, "(a long write)");
    await Counted(tab, 1, "the start");
    // 20 MB come into the settings folder and are being written when a change is saved as the tab
    // closes (a file of its own: the program would write its own count over a changed one).
    await tab.Eval(`(() => { Module.FS.writeFile("/home/web_user/.config/big.bin", new Uint8Array(20 << 20).fill(7));
        Module.ozzKeep();
        Module.FS.writeFile("/home/web_user/.config/bimbalo/at-close", new Uint8Array([1]));
        Module.ozzKeep(); return 1; })()`);
    await tab.Close();
    const next = await Open({context: tab.context}, "/");
    await next.Until("the page", "typeof Words === 'function'", 30000);
    await next.Until("the close's save", async () => (await StoredKeys(next)).includes("bimbalo/at-close"), 20000);
    Check(true, "a close during a 20 MB write keeps the close's own save");
    await next.Close();
  });

  // ---- What the network does wrong: a file half-copied by a deploy, a stalled download.
  await Scenario("bad downloads", async () => {
    host.tamper = rel => (rel.startsWith("media/") ? "truncate" : null);
    const tab = await Open({isolated: true});
    await Offers(tab, "damaged");
    const kept = await tab.Eval("caches.open('ozzel-files').then(c => c.keys()).then(k => k.map(r => r.url))");
    Check(!kept.some(u => u.includes("/media/")), "a half-copied medium is said, and never kept");
    host.tamper = rel => (rel.startsWith("media/") ? "stall" : null);
    await Button(tab);
    await Offers(tab, "offline", 45000);
    Check(true, "a stalled download is said in the family's language, with a retry");
    host.tamper = () => null;
    await Button(tab);
    await StartGame(tab, "(retried)");
    Check(true, "the retry plays once the network is well");
    await tab.Close();
  });

  // ---- Blocked site data; a browser in a language the site lacks, and a ?lang= it lacks.
  await Scenario("the browser's settings", async () => {
    const blocked = await Open({isolated: true}, null);
    await blocked.Page("Page.addScriptToEvaluateOnNewDocument", {source: `for (const name of ["localStorage", "indexedDB"])
        Object.defineProperty(window, name, {get() { throw new DOMException("site data is blocked", "SecurityError"); }});`});
    await blocked.Page("Page.navigate", {url: host.origin + `/?lang=${lang}&trace=1`});
    await StartGame(blocked, "(site data blocked)");
    Check(await blocked.Eval("document.getElementById('hint').textContent === Words(document.documentElement.lang).blocked"),
          "with site data blocked the game plays and the start screen says it is not saved");
    await blocked.Close();
    const french = await Open({isolated: true}, null);
    const ua = await french.Eval("navigator.userAgent");
    await french.Page("Network.setUserAgentOverride", {userAgent: ua, acceptLanguage: "fr-FR,fr"});
    await french.Page("Page.navigate", {url: host.origin + "/?lang=xx&trace=1"});
    await StartGame(french, "(a French browser)");
    const sites = await french.Eval("SITE.languages");
    const expected = sites.includes("en") ? "en" : sites[0];
    Check(await french.Eval("document.documentElement.lang") === expected && await french.Eval("localStorage.getItem('ozzel-language')") === null,
          `a French browser with ?lang=xx on a site of ${sites.join(", ")} plays ${expected}, and remembers nothing`);
    await french.Close();
  });

  // ---- A crafted archive: refused with the family's message, not a black screen.
  await Scenario("a crafted archive", async () => {
    const crafted = Variant("site-crafted", dir => fs.writeFileSync(path.join(dir, "media", lang + ".tar.gz"),
      TarGz([["./bm4/_ozzel/a.txt", Buffer.from("a")], ["../escape.txt", Buffer.from("b")]])));
    host.site = crafted.dir;
    const tab = await Open({isolated: true});
    await Offers(tab, "damaged");
    Check(true, "a medium whose archive leaves its folder is refused");
    host.site = site;
    await tab.Close();
  });

  const bad = await fetch(host.origin + "/%");
  Check(bad.status === 400, `the test server answers a malformed path with 400 (${bad.status})`);
} catch (e) {
  Check(false, e.message);
} finally {
  const problems = tabs.flatMap(t => t.problems);
  Check(problems.length === 0, "no exception and no console error" + (problems.length ? ":\n  " + problems.join("\n  ") : ""));
  try { dt.Close(); } catch (e) { /* gone */ }
  const gone = new Promise(r => browser.once("exit", r));
  browser.kill();
  await Promise.race([gone, sleep(5000)]);
  await host.Stop().catch(() => {});
  await sleep(500);
  fs.rmSync(profile, {recursive: true, force: true, maxRetries: 5});
}
process.exit(failures ? 1 : 0);
