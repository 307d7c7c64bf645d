// The real page in headless chromium, driven over the DevTools protocol: the first tap starts the intro,
// Esc reaches the game, a click on an animal is judged, the start count survives a reload, an offline
// reload still plays, and nothing throws. Also writes the game's screen at 1366 x 768 (for the look).
//   node --experimental-websocket page_test.mjs SITE_DIR OUT_DIR
import {spawn} from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";

const [site, out] = process.argv.slice(2);
if (!site || !out) {
  console.error("usage: page_test.mjs SITE_DIR OUT_DIR");
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

// The site, as a static host serves it.
const types = {".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm", ".json": "application/json",
               ".webmanifest": "application/manifest+json", ".png": "image/png", ".ttf": "font/ttf"};
const server = http.createServer((req, res) => {
  const rel = decodeURIComponent(new URL(req.url, "http://x").pathname).replace(/^\/+/, "") || "index.html";
  const file = path.join(path.resolve(site), rel);
  if (!file.startsWith(path.resolve(site) + path.sep) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
    res.writeHead(404).end();
    return;
  }
  res.writeHead(200, {"content-type": types[path.extname(file)] || "application/octet-stream",
                      "content-length": fs.statSync(file).size});
  fs.createReadStream(file).pipe(res);
});
await new Promise(r => server.listen(0, "127.0.0.1", r));
const origin = `http://127.0.0.1:${server.address().port}`;

// The browser, with a profile of its own (the store and the offline copy start empty).
const profile = fs.mkdtempSync(path.join(os.tmpdir(), "ozzel-chromium-"));
const browser = spawn("chromium", ["--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
  "--no-default-browser-check", "--remote-debugging-port=0", `--user-data-dir=${profile}`,
  `--window-size=${W},${H}`, "about:blank"], {stdio: ["ignore", "ignore", "pipe"]});
const wsUrl = await new Promise((resolve, reject) => {
  let err = "";
  const t = setTimeout(() => reject(new Error("chromium did not start:\n" + err)), 30000);
  browser.stderr.on("data", d => {
    err += d;
    const m = /DevTools listening on (ws:\/\/\S+)/.exec(err);
    if (m) { clearTimeout(t); resolve(m[1]); }
  });
});

let ws, nextId = 1;
const pending = new Map(), listeners = [];
async function Connect(url) {
  ws = new WebSocket(url);
  await new Promise((r, j) => { ws.onopen = r; ws.onerror = j; });
  ws.onmessage = m => {
    const msg = JSON.parse(m.data);
    if (msg.id && pending.has(msg.id)) {
      const {resolve, reject} = pending.get(msg.id);
      pending.delete(msg.id);
      msg.error ? reject(new Error(JSON.stringify(msg.error))) : resolve(msg.result);
    } else if (msg.method) {
      for (const l of listeners) l(msg);
    }
  };
}
function Send(method, params = {}, sessionId) {
  const id = nextId++;
  ws.send(JSON.stringify({id, method, params, sessionId}));
  return new Promise((resolve, reject) => pending.set(id, {resolve, reject}));
}

const trace = [], problems = [];
let session;
const Page = (method, params) => Send(method, params, session);
async function Eval(expr) {
  const r = await Page("Runtime.evaluate", {expression: expr, returnByValue: true, awaitPromise: true});
  if (r.exceptionDetails) throw new Error(expr + ": " + JSON.stringify(r.exceptionDetails));
  return r.result.value;
}
async function Until(what, test, ms = 20000) {
  const end = Date.now() + ms;
  while (Date.now() < end) {
    // The page may be between two documents: an answer that cannot be had yet is a no.
    if (await Promise.resolve().then(test).catch(() => false)) return true;
    await sleep(100);
  }
  throw new Error("timed out waiting for " + what);
}
const Traced = re => trace.some(l => re.test(l));
async function Click(x, y) {
  for (const type of ["mousePressed", "mouseReleased"])
    await Page("Input.dispatchMouseEvent", {type, x, y, button: "left", clickCount: 1});
}
async function Key(key, code, keyCode) {
  for (const type of ["keyDown", "keyUp"])
    await Page("Input.dispatchKeyEvent", {type, key, code, windowsVirtualKeyCode: keyCode});
}
// A point of the game's form (640 x 480, logical) on the page: the form is centred on the logical
// screen, which fills the page by the desktop's scale rule.
let form = {x: 0, y: 0};
const scale = Math.min(W / 640, H / 480);
const OnPage = (x, y) => [(form.x + x + 0.5) * scale, (form.y + y + 0.5) * scale];

// Loads the page, taps the start button and waits for the intro's speech.
async function StartGame(label) {
  trace.length = 0;
  await Until("the start button " + label, () => Eval("!document.getElementById('go').disabled"), Number(process.env.OZZEL_WEB_WAIT || 60000));
  const r = await Eval("(b => { const r = b.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })(document.getElementById('go'))");
  await Click(r[0], r[1]);
  await Until("the intro " + label, () => Traced(/wav open .*oz_uvod\.wav/), 30000);
  const f = trace.map(l => /bounds form_ozzel (-?\d+) (-?\d+) 640 480/.exec(l)).find(Boolean);
  if (f) form = {x: Number(f[1]), y: Number(f[2])};
}
const StartCount = () => Eval(`(() => { try {
    const t = Module.FS.readFile('/home/web_user/.config/bimbalo/registry.reg', {encoding: 'utf8'});
    const m = /"Ozzel_starty"=dword:([0-9a-f]+)/i.exec(t); return m ? parseInt(m[1], 16) : -1;
  } catch (e) { return -2; } })()`);

try {
  await Connect(wsUrl);
  const {targetId} = await Send("Target.createTarget", {url: "about:blank"});
  ({sessionId: session} = await Send("Target.attachToTarget", {targetId, flatten: true}));
  listeners.push(msg => {
    if (msg.sessionId !== session) return;
    if (msg.method === "Runtime.consoleAPICalled") {
      if (process.env.OZZEL_WEB_VERBOSE) console.log("page:", JSON.stringify(msg.params.args).slice(0, 300));
      const text = msg.params.args.map(a => a.value ?? a.description ?? "").join(" ");
      if (msg.params.type === "error") problems.push("console error: " + text);
      trace.push(text);
    } else if (msg.method === "Runtime.exceptionThrown") {
      problems.push("exception: " + JSON.stringify(msg.params.exceptionDetails).slice(0, 600));
    }
  });
  await Page("Runtime.enable");
  await Page("Page.enable");
  await Page("Network.enable");
  await Page("Emulation.setDeviceMetricsOverride", {width: W, height: H, deviceScaleFactor: 1, mobile: false});
  await Page("Page.navigate", {url: origin + "/?lang=cs&trace=1"});

  await StartGame("(first visit)");
  Check(true, "a tap starts the intro");
  Check(form.x === Math.floor((Math.ceil(W / scale) - 640) / 2) && form.y === 0,
        `the game is centred on the page by the desktop's rule (form at ${form.x},${form.y})`);
  await sleep(600);
  await Key("Escape", "Escape", 27);
  await Until("the game after Esc", () => Traced(/show pocitadlo_podklad/), 5000).catch(async e => {
    console.log("diagnosis: " + await Eval("document.activeElement && document.activeElement.id"));
    await Eval("window.dispatchEvent(new KeyboardEvent('keydown', {key: 'Escape', code: 'Escape', keyCode: 27})), 1");
    await Until("the game after a page-made Esc", () => Traced(/show pocitadlo_podklad/), 5000);
    console.log("diagnosis: a page-made Esc works, the protocol's does not");
    throw e;
  });
  Check(true, "Esc ends the intro and reaches the game");
  await Until("the question", () => Traced(/wav open .*oz_D_/), 20000);
  const shot = await Page("Page.captureScreenshot", {format: "png"});
  fs.writeFileSync(path.join(out, "game-1366x768.png"), Buffer.from(shot.data, "base64"));
  // The parrot of the home scene, whichever animal was asked for.
  await Click(...OnPage(157, 310));
  await Until("the answer judged", () => Traced(/caption lbl_(dobre|spatne) 1/), 15000);
  Check(true, "a click on an animal is judged (" + trace.find(l => /caption lbl_(dobre|spatne) 1/.test(l)) + ")");

  const first = await StartCount();
  Check(first >= 1, `the start is counted in the store (${first})`);
  await Eval("new Promise(r => Module.FS.syncfs(false, r))");
  await Page("Page.reload", {ignoreCache: false});
  await StartGame("(reload)");
  await sleep(500);
  const second = await StartCount();
  Check(second === first + 1, `the count survives a reload (${first} then ${second})`);
  await Eval("new Promise(r => Module.FS.syncfs(false, r))");

  await Until("the service worker", () => Eval("navigator.serviceWorker.controller !== null"), 20000);
  await Page("Network.emulateNetworkConditions", {offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1});
  await Page("Page.reload", {ignoreCache: false});
  await StartGame("(offline)");
  Check(true, "with the network off, a reload still starts the game");
  const third = await StartCount();
  Check(third === second + 1, `offline, the store still counts (${third})`);
  await Page("Network.emulateNetworkConditions", {offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1});
} catch (e) {
  Check(false, e.message);
  console.log("the start screen says: " + await Eval("location.href + ' ' + document.readyState + ' ' + (document.getElementById('say') || {}).textContent").catch(x => x.message));
  console.log("--- the page's last lines ---\n" + trace.slice(-30).join("\n"));
} finally {
  Check(problems.length === 0, "no exception and no console error" + (problems.length ? ":\n  " + problems.join("\n  ") : ""));
  try { ws && ws.close(); } catch (e) { /* gone */ }
  const gone = new Promise(r => browser.once("exit", r));
  browser.kill();
  await Promise.race([gone, sleep(5000)]);
  server.close();
  fs.rmSync(profile, {recursive: true, force: true, maxRetries: 5});
}
process.exit(failures ? 1 : 0);
