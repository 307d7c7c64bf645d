// The page's run-time figures in headless chromium (a report, never a test): the first frame after a
// cached load (from the tap on the start screen), the tab's renderer CPU while idle in the menu with
// the music playing, and its memory. Started by bench/web.sh.
//   node --experimental-websocket web_page.mjs SITE_DIR [IDLE_SECONDS]
import fs from "node:fs";

import {ServeSite, StartChromium} from "../tests/web/chromium.mjs";

const [site, idleArg = "10"] = process.argv.slice(2);
const idle = Number(idleArg);
const sleep = ms => new Promise(r => setTimeout(r, ms));
const {origin, Stop: StopServer} = await ServeSite(site);
const {browser, wsUrl, profile} = await StartChromium(1366, 768, "ozzel-bench-");
const ws = new WebSocket(wsUrl);
await new Promise((r, j) => { ws.onopen = r; ws.onerror = j; });
let nextId = 1, session;
const pending = new Map(), lines = [];
ws.onmessage = m => {
  const msg = JSON.parse(m.data);
  if (msg.id && pending.has(msg.id)) {
    const {resolve, reject} = pending.get(msg.id);
    pending.delete(msg.id);
    msg.error ? reject(new Error(JSON.stringify(msg.error))) : resolve(msg.result);
  } else if (msg.method === "Runtime.consoleAPICalled") {
    lines.push(msg.params.args.map(a => a.value ?? "").join(" "));
  }
};
const Send = (method, params = {}, sid) => new Promise((resolve, reject) => {
  const id = nextId++;
  pending.set(id, {resolve, reject});
  ws.send(JSON.stringify({id, method, params, sessionId: sid}));
});
const Page = (m, p) => Send(m, p, session);
const Eval = async e => (await Page("Runtime.evaluate", {expression: e, returnByValue: true, awaitPromise: true})).result.value;
async function Until(test, ms) {
  for (const end = Date.now() + ms; Date.now() < end; await sleep(100)) if (await test().catch(() => false)) return;
  throw new Error("timed out");
}
async function Start() {
  lines.length = 0;
  await Until(() => Eval("!document.getElementById('go').disabled"), 120000);
  const [x, y] = await Eval("(r => [r.x + r.width / 2, r.y + r.height / 2])(document.getElementById('go').getBoundingClientRect())");
  const tapped = await Eval("performance.now()");
  for (const type of ["mousePressed", "mouseReleased"]) await Page("Input.dispatchMouseEvent", {type, x, y, button: "left", clickCount: 1});
  await Until(async () => lines.some(l => l.startsWith("first-frame ")), 60000);
  const frame = Number(lines.find(l => l.startsWith("first-frame ")).split(" ")[1]);
  const ready = await Eval("performance.getEntriesByType('navigation')[0].duration");
  return {tapToFrame: frame - tapped, navigation: ready};
}
async function Renderer() {
  const {processInfo} = await Send("SystemInfo.getProcessInfo");
  return processInfo.filter(p => p.type === "renderer");
}
try {
  const {targetId} = await Send("Target.createTarget", {url: "about:blank"});
  ({sessionId: session} = await Send("Target.attachToTarget", {targetId, flatten: true}));
  await Page("Runtime.enable");
  await Page("Emulation.setDeviceMetricsOverride", {width: 1366, height: 768, deviceScaleFactor: 1, mobile: false});
  await Page("Page.navigate", {url: origin + "/?lang=" + (process.env.OZZEL_LANGUAGE || "cs")});
  const first = await Start();
  await Until(() => Eval("navigator.serviceWorker.controller !== null"), 60000);
  await Page("Page.reload", {});
  const cached = await Start();
  // The menu: Esc ends the intro's wait; the intro's speech ends and the music plays on.
  await sleep(1000);
  for (const type of ["keyDown", "keyUp"]) await Page("Input.dispatchKeyEvent", {type, key: "Escape", code: "Escape", windowsVirtualKeyCode: 27});
  await sleep(30000);
  const before = await Renderer();
  await sleep(idle * 1000);
  const after = await Renderer();
  // The tab's renderer is the one with the most memory (the others: an empty tab, the service worker).
  const per = after.map(p => {
    const b = before.find(q => q.id === p.id);
    let rss = 0, hwm = 0;
    try {
      const status = fs.readFileSync(`/proc/${p.id}/status`, "utf8");
      rss = Number(/VmRSS:\s+(\d+)/.exec(status)[1]) / 1024;
      hwm = Number(/VmHWM:\s+(\d+)/.exec(status)[1]) / 1024;
    } catch (e) { /* gone */ }
    return {cpu: b ? p.cpuTime - b.cpuTime : 0, rss, hwm};
  }).sort((x, y) => y.rss - x.rss);
  const {cpu, rss, hwm} = per[0];
  const all = per.reduce((t, p) => t + p.cpu, 0);
  const js = await Eval("performance.memory ? performance.memory.usedJSHeapSize : 0");
  const wasm = await Eval("Module.HEAPU8 ? Module.HEAPU8.length : 0");
  console.log(`| first visit: tap to first frame | ${first.tapToFrame.toFixed(0)} ms | |`);
  console.log(`| cached load (service worker): page loaded | ${cached.navigation.toFixed(0)} ms | |`);
  console.log(`| cached load: tap to first frame | ${cached.tapToFrame.toFixed(0)} ms | ≤ 1 s |`);
  console.log(`| the tab's renderer CPU, idle in the menu, music playing (${idle} s) | ${(100 * cpu / idle).toFixed(2)} % of a core (all ${per.length} renderers ${(100 * all / idle).toFixed(2)} %) | ≤ 1 % |`);
  console.log(`| renderer memory now (peak) | ${rss.toFixed(0)} MB (${hwm.toFixed(0)} MB) | ≤ 150 MB |`);
  console.log(`| … of it the program's heap, JavaScript's heap | ${(wasm / 1048576).toFixed(0)} MB, ${(js / 1048576).toFixed(0)} MB | |`);
} finally {
  ws.close();
  browser.kill();
  await sleep(1000);
  await StopServer();
  fs.rmSync(profile, {recursive: true, force: true, maxRetries: 5});
}
process.exit(0);
