// The real page in headless chromium, driven over the DevTools protocol: the first tap starts the intro,
// Esc reaches the menu, a finger chooses a scene, a click on an animal is judged, the start count
// survives a reload, a reload with the server gone still plays, and nothing throws. Writes the start
// screen and the home scene at 1366 x 768 (start.png, scene.png) for tests/web/page.sh to compare.
// Real time throughout, with generous waits: a loaded machine only makes it slower.
//   node --experimental-websocket page_test.mjs SITE_DIR OUT_DIR [LANGUAGE]
import fs from "node:fs";
import path from "node:path";

import {ServeSite, StartChromium} from "./chromium.mjs";

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

// The browser, with a profile of its own (the store and the offline copy start empty).
const {origin, Stop: StopServer} = await ServeSite(site);
const {browser, wsUrl, profile} = await StartChromium(W, H, "ozzel-chromium-");

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
async function Move(x, y) {
  await Page("Input.dispatchMouseEvent", {type: "mouseMoved", x, y});
}
async function Click(x, y) {
  await Move(x, y);
  for (const type of ["mousePressed", "mouseReleased"])
    await Page("Input.dispatchMouseEvent", {type, x, y, button: "left", clickCount: 1});
}
async function Tap(x, y) {
  await Page("Input.dispatchTouchEvent", {type: "touchStart", touchPoints: [{x, y, id: 1}]});
  await sleep(80);
  await Page("Input.dispatchTouchEvent", {type: "touchEnd", touchPoints: []});
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

// Waits for the start screen, taps it and waits for the intro's speech.
async function StartGame(label, shot) {
  trace.length = 0;
  await Until("the start button " + label, () => Eval("!document.getElementById('go').disabled"), Number(process.env.OZZEL_WEB_WAIT || 90000));
  if (shot) fs.writeFileSync(path.join(out, shot), Buffer.from((await Page("Page.captureScreenshot", {format: "png"})).data, "base64"));
  const r = await Eval("(b => { const r = b.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })(document.getElementById('go'))");
  await Click(r[0], r[1]);
  await Until("the intro " + label, () => Traced(/wav open .*oz_uvod\.wav/), 60000);
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
      const d = msg.params.exceptionDetails;
      problems.push("exception: " + ((d.exception && d.exception.description) || d.text).slice(0, 1500) +
                    " (after: " + trace.slice(-3).join(" / ") + ")");
    }
  });
  await Page("Runtime.enable");
  await Page("Page.enable");
  await Page("Network.enable");
  await Page("Emulation.setDeviceMetricsOverride", {width: W, height: H, deviceScaleFactor: 1, mobile: false});
  await Page("Page.navigate", {url: origin + `/?lang=${lang}&trace=1`});

  await StartGame("(first visit)", "start.png");
  Check(true, "a tap starts the intro");
  Check(form.x === Math.floor((Math.ceil(W / scale) - 640) / 2) && form.y === 0,
        `the game is centred on the page by the desktop's rule (form at ${form.x},${form.y})`);
  await sleep(1000);
  await Key("Escape", "Escape", 27);
  await Until("the menu after Esc", () => Traced(/ hide stit$/), 20000);
  Check(true, "Esc ends the intro's wait: the menu");
  // A finger chooses the home scene: a tap is a click.
  await Tap(...OnPage(72, 446));
  await Until("the home scene after a tap", () => Traced(/ show podklad$/), 20000);
  // An animal asked for by name (oz_D_a5) or by its sound (oz_snd_a, then oz_snd5).
  await Until("the first question", () => Traced(/wav open .*(oz_D_[ab]\d+|oz_snd\w+)\.wav/i), 30000);
  Check(true, "a tap on a scene button chooses it and the question is asked");
  // The pointer off the game (nothing lit under it) while the screen settles for the comparison.
  await Move(2, 2);
  await sleep(2500);
  const shot = await Page("Page.captureScreenshot", {format: "png"});
  fs.writeFileSync(path.join(out, "scene.png"), Buffer.from(shot.data, "base64"));
  // The parrot of the home scene, whichever animal was asked for.
  await Click(...OnPage(157, 310));
  await Until("the answer judged", () => Traced(/caption lbl_(dobre|spatne) 1$/), 30000);
  Check(true, "a click on an animal is judged (" + trace.find(l => /caption lbl_(dobre|spatne) 1$/.test(l)) + ")");

  // What the page does when it is hidden (a reload's own hiding may be cut short): the play is kept.
  await Eval("Module.ozzKeep().then(() => 1)");
  const first = await StartCount();
  Check(first >= 1, `the start is counted in the store (${first})`);
  await Page("Page.reload", {ignoreCache: false});
  await StartGame("(reload)");
  await Eval("Module.ozzKeep().then(() => 1)");
  const second = await StartCount();
  Check(second === first + 1, `the count survives a reload (${first} then ${second})`);

  // Offline: the server is gone; the service worker's copy has the page, the program and the medium.
  await Until("the service worker", () => Eval("navigator.serviceWorker.controller !== null"), 60000);
  await StopServer();
  await Page("Page.reload", {ignoreCache: false});
  await StartGame("(server gone)");
  Check(true, "with the server gone, a reload still starts the game");
  await Eval("Module.ozzKeep().then(() => 1)");
  const third = await StartCount();
  Check(third === second + 1, `offline, the store still counts (${first}, ${second}, ${third})`);
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
  await StopServer();
  fs.rmSync(profile, {recursive: true, force: true, maxRetries: 5});
}
process.exit(failures ? 1 : 0);
