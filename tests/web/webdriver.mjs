// WebKit and Firefox for the engines test, each behind the same few calls: WebKitGTK through its WebDriver
// (plain W3C WebDriver over HTTP; it needs an X server), Firefox ESR headless over WebDriver BiDi.
import {spawn} from "node:child_process";
import fs from "node:fs";
import net from "node:net";
import os from "node:os";
import path from "node:path";

const sleep = ms => new Promise(r => setTimeout(r, ms));
const FreePort = () => new Promise(r => { const s = net.createServer().listen(0, "127.0.0.1", () => { const p = s.address().port; s.close(() => r(p)); }); });

// A page expression's value, carried as JSON (both protocols pass strings through unchanged).
const Wrapped = expr => `(async () => JSON.stringify(await (${expr})))()`;

// The same gestures for both: W3C actions, in viewport pixels.
function ClickActions(x, y) {
  return [{type: "pointer", id: "mouse", parameters: {pointerType: "mouse"}, actions: [
    {type: "pointerMove", x: Math.round(x), y: Math.round(y), origin: "viewport", duration: 0},
    {type: "pointerDown", button: 0}, {type: "pause", duration: 50}, {type: "pointerUp", button: 0}]}];
}
function KeyActions(key) {
  return [{type: "key", id: "keys", actions: [{type: "keyDown", value: key}, {type: "keyUp", value: key}]}];
}
export const ESCAPE = "\uE00C";

// WebKitGTK's MiniBrowser through WebKitWebDriver. Resolves to a driver with Navigate, Eval, Click,
// Key, Reload and Close.
export async function StartWebKit(width, height) {
  const port = await FreePort();
  const driver = spawn("WebKitWebDriver", [`--port=${port}`], {stdio: ["ignore", "ignore", "pipe"]});
  const base = `http://127.0.0.1:${port}`;
  async function Req(method, p, body) {
    const r = await fetch(base + p, {method, headers: {"content-type": "application/json"},
                                      body: body === undefined ? undefined : JSON.stringify(body)});
    const j = await r.json();
    if (j.value && j.value.error) throw new Error(`${method} ${p}: ${j.value.error}: ${j.value.message}`);
    return j.value;
  }
  let session = null;
  for (const end = Date.now() + 20000; !session; await sleep(200)) {
    try {
      const dir = fs.readdirSync("/usr/lib/x86_64-linux-gnu").find(d => /^webkit2gtk-4\.[01]$/.test(d)) || "webkit2gtk-4.1";
      session = await Req("POST", "/session", {capabilities: {alwaysMatch: {"webkitgtk:browserOptions": {
        binary: `/usr/lib/x86_64-linux-gnu/${dir}/MiniBrowser`, args: ["--automation"]}}}});
    } catch (e) {
      if (Date.now() > end) throw new Error("WebKitWebDriver did not start: " + e.message);
    }
  }
  const s = `/session/${session.sessionId}`;
  await Req("POST", `${s}/window/rect`, {width, height}).catch(() => {});
  await Req("POST", `${s}/timeouts`, {script: 120000});
  return {
    name: "WebKit " + (session.capabilities.browserVersion || ""),
    Navigate: url => Req("POST", `${s}/url`, {url}),
    Reload: () => Req("POST", `${s}/refresh`, {}),
    async Eval(expr) {
      const v = await Req("POST", `${s}/execute/async`, {args: [], script:
        `const done = arguments[arguments.length - 1]; ${Wrapped(expr)}.then(done, e => done(JSON.stringify({thrown: String(e)})));`});
      const r = v === undefined || v === null ? undefined : JSON.parse(v);
      if (r && r.thrown) throw new Error(r.thrown);
      return r;
    },
    Click: (x, y) => Req("POST", `${s}/actions`, {actions: ClickActions(x, y)}),
    Key: key => Req("POST", `${s}/actions`, {actions: KeyActions(key)}),
    async Close() {
      await Req("DELETE", s).catch(() => {});
      driver.kill();
    },
  };
}

// Firefox ESR headless, driven over WebDriver BiDi (its remote protocol; no geckodriver needed).
export async function StartFirefox(width, height) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "ozzel-firefox-"));
  // Sound may start from the page's first tap; no first-run pages or update checks.
  fs.writeFileSync(path.join(profile, "user.js"), ['user_pref("media.autoplay.default", 0);',
    'user_pref("browser.shell.checkDefaultBrowser", false);', 'user_pref("app.update.disabledForTesting", true);',
    'user_pref("datareporting.policy.dataSubmissionEnabled", false);'].join("\n") + "\n");
  const browser = spawn("firefox-esr", ["--headless", "--no-remote", "--profile", profile, "--remote-debugging-port=0",
                                        `--width=${width}`, `--height=${height}`], {stdio: ["ignore", "pipe", "pipe"]});
  let err = "";
  const url = await new Promise((resolve, reject) => {
    const t = setTimeout(() => reject(new Error("firefox did not start:\n" + err.slice(-2000))), 60000);
    const on = d => {
      err += d;
      const m = /WebDriver BiDi listening on (ws:\/\/\S+)/.exec(err);
      if (m) { clearTimeout(t); resolve(m[1]); }
    };
    browser.stdout.on("data", on);
    browser.stderr.on("data", on);
  });
  const ws = new WebSocket(url + "/session");
  await new Promise((r, j) => { ws.onopen = r; ws.onerror = j; });
  let next = 1;
  const pending = new Map();
  ws.onmessage = m => {
    const msg = JSON.parse(m.data);
    if (msg.id && pending.has(msg.id)) {
      const {resolve, reject} = pending.get(msg.id);
      pending.delete(msg.id);
      msg.type === "error" ? reject(new Error(`${msg.error}: ${msg.message}`)) : resolve(msg.result);
    }
  };
  const Send = (method, params = {}) => new Promise((resolve, reject) => {
    const id = next++;
    pending.set(id, {resolve, reject});
    ws.send(JSON.stringify({id, method, params}));
  });
  const {capabilities} = await Send("session.new", {capabilities: {}});
  const context = (await Send("browsingContext.getTree", {})).contexts[0].context;
  await Send("browsingContext.setViewport", {context, viewport: {width, height}}).catch(() => {});
  return {
    name: "Firefox " + capabilities.browserVersion,
    Navigate: url => Send("browsingContext.navigate", {context, url, wait: "complete"}),
    Reload: () => Send("browsingContext.reload", {context, wait: "complete"}),
    async Eval(expr) {
      const r = await Send("script.evaluate", {expression: Wrapped(expr), target: {context}, awaitPromise: true});
      if (r.type === "exception") throw new Error(r.exceptionDetails.text);
      return r.result.type === "string" ? JSON.parse(r.result.value) : undefined;
    },
    Click: (x, y) => Send("input.performActions", {context, actions: ClickActions(x, y)}),
    Key: key => Send("input.performActions", {context, actions: KeyActions(key)}),
    async Close() {
      await Send("session.end").catch(() => {});
      ws.close();
      browser.kill();
      await sleep(500);
      fs.rmSync(profile, {recursive: true, force: true});
    },
  };
}
